#include "text/wide_text_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace obturix {
namespace {

// What Explorer's Properties and the task manager show of the built
// obturix.exe, beside this test's folder.
TEST(Win32VersionResource, DescribesTheProgramInFrench) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring program = self;
  program = program.substr(0, program.rfind(L"\\tests\\")) + L"\\obturix.exe";
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeW(program.c_str(), &ignored) + 1);
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) &&
      VerQueryValueW(info.data(), L"\\StringFileInfo\\040C04B0\\FileDescription",
                     reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(narrow(text), "Obturix\u00A0: séries de poses longues par le port série");
}

} // namespace
} // namespace obturix
