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
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace obturix {
namespace {

namespace fs = std::filesystem;
using Kind = pty::OpenCloseWatcher::Kind;

// The Windows probe in a child process, spoken to through pipes.
class ProbeProcess {
public:
  ProbeProcess(const std::string& wine, const std::string& probe, const std::string& port) {
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
      throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toChild[0], STDIN_FILENO);
      dup2(fromChild[1], STDOUT_FILENO);
      execl(wine.c_str(), wine.c_str(), probe.c_str(), port.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    input_ = toChild[1];
    output_ = fdopen(fromChild[0], "r");
  }
  ~ProbeProcess() {
    ::close(input_);
    std::fclose(output_);
    int status = 0;
    waitpid(pid_, &status, 0);
  }

  std::string readLine() {
    char buffer[256] = {};
    if (!std::fgets(buffer, sizeof buffer, output_))
      return "<end>";
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    return line;
  }
  void release() { [[maybe_unused]] auto n = ::write(input_, "\n", 1); }

private:
  pid_t pid_ = -1;
  int input_ = -1;
  FILE* output_ = nullptr;
};

class WineSerialPort : public ::testing::Test {
protected:
  void SetUp() override {
    const char* wineVar = std::getenv("OBTURIX_WINE");
    const char* probeVar = std::getenv("OBTURIX_WIN32_PORT_PROBE");
    const char* cameraVar = std::getenv("OBTURIX_WINE_CAMERA");
    if (!wineVar || !probeVar || !cameraVar)
      FAIL() << "OBTURIX_WINE, OBTURIX_WIN32_PORT_PROBE and OBTURIX_WINE_CAMERA must be set";
    wine = wineVar;
    probe = probeVar;
    link = cameraVar;
    fs::remove(link);
    fs::create_symlink(terminal.slavePath(), link);
  }
  void TearDown() override {
    if (!link.empty())
      fs::remove(link);
  }

  static long count(const std::vector<Kind>& events, Kind kind) {
    return std::count(events.begin(), events.end(), kind);
  }

  std::string wine, probe;
  fs::path link;
  pty::PseudoTerminal terminal;
  pty::OpenCloseWatcher watcher{terminal.slavePath()};
};

TEST_F(WineSerialPort, FindsTheComPortAndHoldsItOpenFromPressToRelease) {
  ProbeProcess process(wine, probe, "COM150");
  EXPECT_EQ(process.readLine(), "exists");
  EXPECT_EQ(process.readLine(), "listed");
  ASSERT_EQ(process.readLine(), "pressed");
  const auto whilePressed = watcher.takePending();
  EXPECT_GT(count(whilePressed, Kind::Open), count(whilePressed, Kind::Close))
      << "the port is not held open while pressed";

  process.release();
  ASSERT_EQ(process.readLine(), "released");
  auto all = whilePressed;
  for (auto kind : watcher.takePending())
    all.push_back(kind);
  EXPECT_GE(count(all, Kind::Open), 1);
  EXPECT_EQ(count(all, Kind::Open), count(all, Kind::Close)) << "the port stays open after release";
}

TEST_F(WineSerialPort, RefusesAComPortThatDoesNotExist) {
  ProbeProcess process(wine, probe, "COM151");
  EXPECT_EQ(process.readLine(), "missing");
  EXPECT_EQ(process.readLine(), "unlisted");
  EXPECT_EQ(process.readLine(), "refused");
  EXPECT_EQ(watcher.takePending(), std::vector<Kind>{});
}

} // namespace
} // namespace obturix
