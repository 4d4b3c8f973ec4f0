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
// the ANSI code page cannot hold does not turn the name into another's.
TEST(Win32Ports, ANameDesignatesOnlyWhatWasTyped) {
  wchar_t folder[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  const std::string file = narrow(folder) + "obturix-port-test-l";
  std::ofstream(std::filesystem::path(widen(file))) << "not a port";
  const struct {
    const char* name;
    std::string typed;
    PortStatus::Access access;
  } cases[] = {
      {"a port that does not exist", "COM151", PortStatus::Access::Missing},
      {"a file", file, PortStatus::Access::NotSerial},
      {"a letter outside the code page", file.substr(0, file.size() - 1) + "\xc5\x82", // ł
       PortStatus::Access::Missing},
  };
  const auto check = makeSystemPortCheck();
  const auto ports = makeSystemSerialPortServiceFactory()->create();
  for (const auto& c : cases) {
    EXPECT_EQ(check->check(c.typed).access, c.access) << c.name;
    EXPECT_EQ(ports->open(c.typed).stream, nullptr) << c.name;
  }
  DeleteFileW(widen(file).c_str());
}

} // namespace
} // namespace obturix
