#include "serial/port_check.h"
#include "serial/serial_port.h"
#include "text/wide_text_win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace obturix {
namespace {

// A name is looked for and opened as typed: a port that does not exist is
// missing, a file is no port (and is not opened as one), and a character
// the ANSI code page cannot hold does not turn the name into another's. A
// port refused to this program (held by another: a sharing violation, or
// access denied as a folder gets) is another program's.
TEST(Win32Ports, ANameDesignatesOnlyWhatWasTyped) {
  using enum PortFailure::Cause;
  wchar_t folder[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  const std::string file = narrow(folder) + "obturix-port-test-l";
  std::ofstream(std::filesystem::path(widen(file))) << "not a port";
  const HANDLE held = CreateFileW(widen(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const struct {
    const char* name;
    std::string typed;
    PortStatus::Access access;
    PortFailure::Cause opening;
  } cases[] = {
      {"a port that does not exist", "COM151", PortStatus::Access::Missing, Gone},
      {"a file", file, PortStatus::Access::NotSerial, Busy},
      {"a letter outside the code page", file.substr(0, file.size() - 1) + "\xc5\x82", // ł
       PortStatus::Access::Missing, Gone},
      {"a folder", narrow(folder), PortStatus::Access::NotSerial, Busy},
  };
  const auto check = makeSystemPortCheck();
  const auto ports = makeSystemSerialPortServiceFactory()->create();
  for (const auto& c : cases) {
    EXPECT_EQ(check->check(c.typed).access, c.access) << c.name;
    const Opening opening = ports->open(c.typed);
    EXPECT_EQ(opening.stream, nullptr) << c.name;
    EXPECT_EQ(opening.failure.cause, c.opening) << c.name;
  }
  CloseHandle(held);
  DeleteFileW(widen(file).c_str());
}

} // namespace
} // namespace obturix
