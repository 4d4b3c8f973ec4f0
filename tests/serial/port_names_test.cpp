#include "serial/port_names.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

TEST(PortNames, ComNamesMapToEachSystemsDevices) {
  const struct {
    const char* name;
    const char* posix;
    const char* win32;
  } cases[] = {
      {"COM1", "/dev/ttyS0", "\\\\.\\COM1"},
      {"com2", "/dev/ttyS1", "\\\\.\\COM2"},
      {"COM256", "/dev/ttyS255", "\\\\.\\COM256"},
      // Anything else is a path, used exactly as typed.
      {"COM0", "COM0", "COM0"},
      {"COM1 ", "COM1 ", "COM1 "},
      {"/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(posixDevicePath(c.name), c.posix) << c.name;
    EXPECT_EQ(win32DevicePath(c.name), c.win32) << c.name;
  }
}

} // namespace
} // namespace obturix
