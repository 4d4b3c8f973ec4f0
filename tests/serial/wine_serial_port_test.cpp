// The Windows port check and port service, cross-built and run under Wine,
// against a pseudo-terminal that Wine presents as COM150: the Windows test
// run registers that port (HKLM\Software\Wine\Ports) as the link
// OBTURIX_WINE_CAMERA, which each test points at its own pseudo-terminal.
// OBTURIX_WINE and OBTURIX_WIN32_PORT_PROBE name the Wine loader and the
// Windows port probe.
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace obturix {
namespace {

namespace fs = std::filesystem;
using Kind = pty::OpenCloseWatcher::Kind;

class WineSerialPort : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"OBTURIX_WINE", "OBTURIX_WIN32_PORT_PROBE", "OBTURIX_WINE_CAMERA"})
      if (!std::getenv(name))
        FAIL() << name << " must be set";
    link = std::getenv("OBTURIX_WINE_CAMERA");
    fs::remove(link);
    fs::create_symlink(terminal.slavePath(), link);
  }
  void TearDown() override { fs::remove(link); }

  // Runs the Windows probe on a port; its lines as it prints them.
  FILE* startProbe(const std::string& port) {
    const std::string command = std::string(std::getenv("OBTURIX_WINE")) + " " +
                                std::getenv("OBTURIX_WIN32_PORT_PROBE") + " " + port;
    return popen(command.c_str(), "r");
  }
  static std::string line(FILE* probe) {
    char text[64] = {};
    const std::string read = std::fgets(text, sizeof text, probe) ? text : "<end>";
    return read.substr(0, read.find_first_of("\r\n"));
  }
  static long count(const std::vector<Kind>& events, Kind kind) {
    return std::count(events.begin(), events.end(), kind);
  }

  fs::path link;
  pty::PseudoTerminal terminal;
  pty::OpenCloseWatcher watcher{terminal.slavePath()};
};

TEST_F(WineSerialPort, FindsTheComPortAndHoldsItOpenFromPressToRelease) {
  FILE* probe = startProbe("COM150");
  EXPECT_EQ(line(probe), "exists");
  EXPECT_EQ(line(probe), "listed");
  ASSERT_EQ(line(probe), "pressed");
  auto events = watcher.takePending();
  EXPECT_GT(count(events, Kind::Open), count(events, Kind::Close)) << "not held open while pressed";
  EXPECT_EQ(line(probe), "released");
  pclose(probe);
  for (const auto kind : watcher.takePending())
    events.push_back(kind);
  EXPECT_EQ(count(events, Kind::Open), count(events, Kind::Close)) << "still open after release";
}

TEST_F(WineSerialPort, RefusesAComPortThatDoesNotExist) {
  FILE* probe = startProbe("COM151");
  EXPECT_EQ(line(probe), "missing");
  EXPECT_EQ(line(probe), "unlisted");
  EXPECT_EQ(line(probe), "refused");
  pclose(probe);
  EXPECT_EQ(watcher.takePending(), std::vector<Kind>{});
}

} // namespace
} // namespace obturix
