#include "serial/port_check.h"
#include "serial/serial_port.h"

#include "fakes/temporary_folder.h"
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace obturix {
namespace {

using Kind = pty::OpenCloseWatcher::Kind;
using Kinds = std::vector<Kind>;
namespace fs = std::filesystem;

class PosixSerialPort : public ::testing::Test {
protected:
  std::shared_ptr<SerialPortService> service = makeSystemSerialPortServiceFactory()->create();
  pty::PseudoTerminal terminal;
  pty::OpenCloseWatcher watcher{terminal.slavePath()};
};

TEST_F(PosixSerialPort, HoldsAPseudoTerminalOpenExactlyFromPressToRelease) {
  ASSERT_TRUE(service);
  auto stream = service->open(terminal.slavePath());
  ASSERT_TRUE(stream);
  EXPECT_EQ(watcher.takePending(), Kinds{Kind::Open});
  termios settings{}; // the lines drop by themselves if the program dies
  ASSERT_EQ(tcgetattr(terminal.masterFd(), &settings), 0);
  EXPECT_TRUE(settings.c_cflag & HUPCL);

  stream->close();
  EXPECT_EQ(watcher.takePending(), Kinds{Kind::Close});

  // A second close must leave alone the descriptor that reused the number:
  // the lowest free one is the one the stream just gave back.
  const int other = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  stream->close();
  stream.reset();
  EXPECT_NE(fcntl(other, F_GETFD), -1) << "a second close closed an unrelated file";
  ::close(other);
  EXPECT_EQ(watcher.takePending(), Kinds{});
}

TEST_F(PosixSerialPort, ReleasesWhenTheStreamIsDroppedWithoutClose) {
  service->open(terminal.slavePath()).reset();
  EXPECT_EQ(watcher.takePending(), (Kinds{Kind::Open, Kind::Close}));
}

// What names no serial port is neither found by the port check nor opened.
TEST(PosixSerialPortRefusal, RefusesWhatIsNotASerialPortWithoutOpeningIt) {
  pty::PseudoTerminal terminal;
  const testing::TemporaryFolder temporary;
  const fs::path& folder = temporary.path;
  const fs::path regular = folder / "regular", fifo = folder / "fifo";
  std::ofstream(regular) << "data";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(regular, folder / "link-to-regular");
  fs::create_symlink(folder / "gone", folder / "dangling");
  fs::create_symlink(terminal.slavePath(), folder / "camera");

  const auto check = makeSystemPortCheck();
  pty::OpenCloseWatcher camera(terminal.slavePath());
  EXPECT_TRUE(check->exists(terminal.slavePath()));
  EXPECT_TRUE(check->exists(folder / "camera")); // links are followed
  EXPECT_EQ(camera.takePending(), Kinds{}) << "checking pressed the release";
  auto service = makeSystemSerialPortServiceFactory()->create();
  const struct {
    std::string name;
    bool watchable;
  } cases[] = {
      {regular.string(), true},
      {fifo.string(), true},
      {(folder / "link-to-regular").string(), true},
      {folder.string(), true},
      {"/dev/ptmx", false}, // a terminal, but no port
      {(folder / "dangling").string(), false},
      {"", false},
      {"COM0", false},
      {"COM4097", false},
      {std::string(10000, 'x'), false},
      {terminal.slavePath() + std::string(1, '\0') + "x", false},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(check->exists(c.name)) << c.name.substr(0, 80);
    std::optional<pty::OpenCloseWatcher> watcher;
    if (c.watchable)
      watcher.emplace(c.name);
    // A FIFO opened for reading without a writer would block: this must return.
    EXPECT_EQ(service->open(c.name), nullptr) << c.name.substr(0, 80);
    if (watcher) {
      EXPECT_EQ(watcher->takePending(), Kinds{}) << c.name << " was opened";
    }
  }
}

} // namespace
} // namespace obturix
