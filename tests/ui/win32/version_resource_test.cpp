#include "text/wide_text_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace obturix {
namespace {

// What Explorer's Properties and the task manager show of obturix.exe, read
// from the built program beside this test's folder.
std::wstring fileDescription() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring program = self;
  program.resize(program.rfind(L'\\'));
  program.resize(program.rfind(L'\\') + 1);
  program += L"obturix.exe";
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeW(program.c_str(), &ignored));
  wchar_t* text = nullptr;
  UINT length = 0;
  if (info.empty() ||
      !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) ||
      !VerQueryValueW(info.data(), L"\\StringFileInfo\\040C04B0\\FileDescription",
                      reinterpret_cast<void**>(&text), &length))
    return {};
  return text;
}

TEST(Win32VersionResource, DescribesTheProgramInFrench) {
  EXPECT_EQ(narrow(fileDescription()), "Obturix : séries de poses longues par le port série");
}

} // namespace
} // namespace obturix
