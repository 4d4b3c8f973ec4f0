#include "serial/port_check.h"
#include "serial/port_lock_posix.h"
#include "serial/serial_port.h"

#include "fakes/child_process.h"
#include "fakes/temporary_folder.h"
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace obturix {
namespace {

using Kind = pty::OpenCloseWatcher::Kind;
using Kinds = std::vector<Kind>;
using Access = PortStatus::Access;
using testing::becomeUnprivileged;
using testing::inChild;
namespace fs = std::filesystem;

class PosixSerialPort : public ::testing::Test {
protected:
  // 0 when another copy, as another user (root opens whatever), opens the
  // port; 1 when it is refused as used by another program.
  int anotherProgramOpens() {
    chmod(terminal.slavePath().c_str(), 0666);
    return inChild([&] {
      if (geteuid() == 0 && !becomeUnprivileged())
        return 3;
      const Opening opening = service->open(terminal.slavePath());
      return opening.stream ? 0 : opening.failure.cause == PortFailure::Cause::Busy ? 1 : 2;
    });
  }

  std::shared_ptr<SerialPortService> service = makeSystemSerialPortServiceFactory()->create();
  pty::PseudoTerminal terminal;
  pty::OpenCloseWatcher watcher{terminal.slavePath()};
};

TEST_F(PosixSerialPort, HoldsAPseudoTerminalOpenExactlyFromPressToRelease) {
  ASSERT_TRUE(service);
  auto stream = service->open(terminal.slavePath()).stream;
  ASSERT_TRUE(stream);
  EXPECT_EQ(watcher.takePending(), Kinds{Kind::Open});
  EXPECT_EQ(anotherProgramOpens(), 1); // no other program presses meanwhile
  termios settings{};                  // the lines drop by themselves if the program dies
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
  // Let go, it is anybody's (a pseudo-terminal would otherwise stay exclusive).
  EXPECT_EQ(anotherProgramOpens(), 0);
}

TEST_F(PosixSerialPort, ReleasesWhenTheStreamIsDroppedWithoutClose) {
  service->open(terminal.slavePath()).stream.reset();
  EXPECT_EQ(watcher.takePending(), (Kinds{Kind::Open, Kind::Close}));
}

// EIO: a USB adapter pulled out while its name still stands, or a
// pseudo-terminal whose master has locked it.
TEST(PosixSerialPortFailure, AnOpenFailingWithIoErrorIsAPortGone) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  const Opening opening = makeSystemSerialPortServiceFactory()->create()->open(ptsname(master));
  close(master);
  EXPECT_FALSE(opening.stream);
  EXPECT_EQ(opening.failure.cause, PortFailure::Cause::Gone);
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
  EXPECT_EQ(check->check(terminal.slavePath()).access, Access::Usable);
  EXPECT_EQ(check->check(folder / "camera").access, Access::Usable); // links are followed
  EXPECT_EQ(camera.takePending(), Kinds{}) << "checking pressed the release";
  auto service = makeSystemSerialPortServiceFactory()->create();
  const struct {
    std::string name;
    bool watchable;
    Access access; // told apart: what is there but no port, and what is not there
  } cases[] = {
      {regular.string(), true, Access::NotSerial},
      {fifo.string(), true, Access::NotSerial},
      {(folder / "link-to-regular").string(), true, Access::NotSerial},
      {folder.string(), true, Access::NotSerial},
      {"/dev/ptmx", false, Access::NotSerial}, // a terminal, but no port
      {(folder / "dangling").string(), false, Access::Missing},
      {"", false, Access::Missing},
      {std::string(10000, 'x'), false, Access::Missing},
      {terminal.slavePath() + std::string(1, '\0') + "x", false, Access::Missing},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check->check(c.name).access, c.access) << c.name.substr(0, 80);
    std::optional<pty::OpenCloseWatcher> watcher;
    if (c.watchable)
      watcher.emplace(c.name);
    // A FIFO opened for reading without a writer would block: this must return.
    EXPECT_EQ(service->open(c.name).stream, nullptr) << c.name.substr(0, 80);
    if (watcher) {
      EXPECT_EQ(watcher->takePending(), Kinds{}) << c.name << " was opened";
    }
  }
}

// As a user outside the group of a port: refused before anything is opened,
// with the group to join (none for root's own group, which is no advice); an
// open is refused as such. The check asks with the effective group: a
// program whose effective group may open the port is let through.
TEST(PosixPortCheck, NamesTheGroupThatMayOpenAPortTheUserMayNot) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs a port of another owner and another user, which only root can make";
  const group* dialout = getgrnam("dialout");
  ASSERT_TRUE(dialout);
  constexpr gid_t nobody = 54321;
  const struct {
    const char* name;
    gid_t portGroup, realGroup, effectiveGroup;
    Access access;
    const char* group;
  } cases[] = {
      {"outside the port's group", dialout->gr_gid, nobody, nobody, Access::Forbidden, "dialout"},
      {"a port of root's group", 0, nobody, nobody, Access::Forbidden, ""},
      {"the port's group effective only", dialout->gr_gid, nobody, dialout->gr_gid, Access::Usable,
       ""},
  };
  for (const auto& c : cases) {
    pty::PseudoTerminal terminal;
    const std::string port = terminal.slavePath();
    ASSERT_TRUE(chown(port.c_str(), 0, c.portGroup) == 0 && chmod(port.c_str(), 0660) == 0);
    pty::OpenCloseWatcher camera(port);
    EXPECT_EQ(inChild([&] {
                if (setgroups(0, nullptr) != 0 ||
                    setresgid(c.realGroup, c.effectiveGroup, c.effectiveGroup) != 0 ||
                    setresuid(nobody, nobody, nobody) != 0)
                  return 3;
                const PortStatus status = makeSystemPortCheck()->check(port);
                if (status.access != c.access || status.group != c.group)
                  return 1;
                if (c.access == Access::Usable)
                  return 0;
                const auto opening = makeSystemSerialPortServiceFactory()->create()->open(port);
                return opening.failure.cause == PortFailure::Cause::Forbidden ? 0 : 2;
              }),
              0)
        << c.name;
    EXPECT_EQ(camera.takePending(), Kinds{}) << "checking pressed the release: " << c.name;
  }
}

// A process number as the serial lock files hold it: ten characters, right-aligned.
std::string inLockFile(long pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10ld", pid);
  return text;
}

// One series per port for the whole machine, through the serial lock file:
// another copy, under another of the port's names, in another session (no
// runtime folder) or as another user, is refused while the first holds it
// and allowed once it is over; nothing is left behind.
TEST(PosixPortCheck, OneSeriesAtATimeClaimsAPort) {
  pty::PseudoTerminal terminal;
  const testing::TemporaryFolder locks;
  fs::permissions(locks.path, fs::perms::all | fs::perms::sticky_bit); // as /run/lock
  const fs::path link = locks.path / "camera";
  fs::create_symlink(terminal.slavePath(), link);
  chmod(terminal.slavePath().c_str(), 0666);
  const auto lockFile = locks.path / *lockFileName(terminal.slavePath());
  const auto anotherCopyClaims = [&](bool unprivileged) {
    return inChild([&] {
      unsetenv("XDG_RUNTIME_DIR");
      if (unprivileged && getuid() == 0 && !becomeUnprivileged())
        return 2;
      std::optional<PortHolder> holder;
      return makePosixPortCheck(locks.path)->claim(link, holder) ? 0 : 1;
    });
  };

  setenv("XDG_RUNTIME_DIR", locks.path.c_str(), 1);
  std::optional<PortHolder> holder;
  auto claim = makePosixPortCheck(locks.path)->claim(terminal.slavePath(), holder);
  ASSERT_TRUE(claim);
  std::string owner;
  std::getline(std::ifstream(lockFile), owner);
  EXPECT_EQ(owner, inLockFile(getpid()));
  EXPECT_EQ(anotherCopyClaims(false), 1);
  EXPECT_EQ(anotherCopyClaims(true), 1);
  claim.reset();
  EXPECT_FALSE(fs::exists(lockFile));
  EXPECT_EQ(anotherCopyClaims(true), 0);
  EXPECT_EQ(anotherCopyClaims(false), 0);
  EXPECT_FALSE(fs::exists(lockFile));
}

// Another program's lock file (written, not flocked): refuses the series,
// naming that program, while its process lives; taken over once it is gone.
TEST(PosixPortCheck, AnotherProgramsLockFileIsRespectedUntilItsProcessIsGone) {
  pty::PseudoTerminal terminal;
  const testing::TemporaryFolder locks;
  const auto lockFile = locks.path / *lockFileName(terminal.slavePath());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t other = fork();
  if (other == 0) { // stands for a serial terminal holding the port
    close(ready[1]);
    char byte;
    [[maybe_unused]] const auto got = read(ready[0], &byte, 1); // until the parent closes it
    _exit(0);
  }
  std::ofstream(lockFile) << inLockFile(other) << "\n";
  std::string program;
  std::ifstream("/proc/" + std::to_string(other) + "/comm") >> program;

  std::optional<PortHolder> holder;
  EXPECT_EQ(makePosixPortCheck(locks.path)->claim(terminal.slavePath(), holder), nullptr);
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->pid, other);
  EXPECT_EQ(holder->program, program);

  close(ready[1]); // the other program ends, its lock file left behind
  waitpid(other, nullptr, 0);
  holder.reset();
  auto claim = makePosixPortCheck(locks.path)->claim(terminal.slavePath(), holder);
  EXPECT_TRUE(claim);
  EXPECT_FALSE(holder);
  claim.reset();
  EXPECT_FALSE(fs::exists(lockFile));
}

} // namespace
} // namespace obturix
