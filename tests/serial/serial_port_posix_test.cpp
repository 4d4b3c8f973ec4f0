#include "serial/port_check.h"
#include "serial/port_lock_posix.h"
#include "serial/serial_port.h"
#include "timing/monotonic_clock.h"

#include "fakes/child_process.h"
#include "fakes/temporary_folder.h"
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
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

// A press held open ends at its deadline, at a stop, or as soon as the port
// goes away (its adapter pulled out: here the pseudo-terminal's other end
// closed), whichever comes first.
TEST_F(PosixSerialPort, AHoldEndsWhenThePortGoesAway) {
  using namespace std::chrono_literals;
  enum class End { Deadline, Stop, HangUp };
  const auto sleeper = makeSystemSleeper();
  for (const End end : {End::Deadline, End::Stop, End::HangUp}) {
    pty::PseudoTerminal line;
    const auto stream = service->open(line.slavePath()).stream;
    ASSERT_TRUE(stream && stream->held());
    sleeper->resume();
    const auto start = monotonicNow();
    std::chrono::nanoseconds endedAt{0};
    std::thread ending([&] {
      sleepUntilMonotonic(start + 30ms);
      endedAt = monotonicNow();
      if (end == End::Stop)
        sleeper->interrupt();
      else if (end == End::HangUp)
        line.hangUp();
    });
    const bool lost =
        sleeper->holdUntil(start + (end == End::Deadline ? 60ms : 10s), *stream->held());
    const auto over = monotonicNow();
    ending.join();
    EXPECT_EQ(lost, end == End::HangUp);
    if (end == End::Deadline)
      EXPECT_GE(over, start + 60ms);
    else
      EXPECT_LT(over - endedAt, 200ms) << "held on after the " << (lost ? "hang-up" : "stop");
    stream->close();
  }
}

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
std::string inLockFile(long long pid) {
  char text[24];
  std::snprintf(text, sizeof text, "%10lld\n", pid);
  return text;
}

// A serial terminal's stand-in, named as the system shows it, until dropped.
struct StandIn {
  StandIn() {
    if (pid == 0) {
      prctl(PR_SET_NAME, "minicom");
      pause();
      _exit(0);
    }
    for (std::string name; name != "minicom";)
      std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
  }
  ~StandIn() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid_t pid = fork();
};

// What a claim came to, in a few words.
std::string outcome(PortCheck& check, const std::string& port,
                    std::unique_ptr<PortClaim>* kept = nullptr) {
  std::optional<PortHolder> holder;
  auto claim = check.claim(port, holder);
  if (!claim)
    return holder ? "refused " + holder->program + " " + std::to_string(holder->pid) : "refused";
  const char* reach[] = {"nobody", "this user", "machine"};
  std::string words = reach[static_cast<int>(claim->reach())];
  if (const auto& why = claim->shortfall())
    words += " " + fs::path(why->lock).filename().string() + " " + std::to_string(why->error);
  if (kept)
    *kept = std::move(claim);
  return words;
}

// One series per port for the whole machine, through the serial lock file:
// another copy, under another of the port's names, in another session (no
// runtime folder) or as another user, is refused while the first holds it
// (also when its lock file was removed meanwhile, or names no living
// process: its flock keeps it) and allowed once it is over; nothing is left
// behind.
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
  const auto owner = [&] {
    std::ifstream in(lockFile);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };

  setenv("XDG_RUNTIME_DIR", locks.path.c_str(), 1);
  std::unique_ptr<PortClaim> claim;
  EXPECT_EQ(outcome(*makePosixPortCheck(locks.path), terminal.slavePath(), &claim), "machine");
  EXPECT_EQ(owner(), inLockFile(getpid()));
  EXPECT_EQ(anotherCopyClaims(false), 1);
  EXPECT_EQ(anotherCopyClaims(true), 1);
  fs::remove(lockFile); // by a cleaner: made again at the next exposure
  claim->keep();
  EXPECT_EQ(owner(), inLockFile(getpid()));
  std::ofstream(lockFile) << inLockFile(4194305); // beyond any pid_max
  EXPECT_EQ(anotherCopyClaims(false), 1);
  claim.reset();
  EXPECT_FALSE(fs::exists(lockFile));
  EXPECT_EQ(anotherCopyClaims(true), 0);
  EXPECT_EQ(anotherCopyClaims(false), 0);
  EXPECT_FALSE(fs::exists(lockFile));
}

// Another program's lock file (written, not flocked), in text or in the
// older binary form, refuses the series, naming that program, while its
// process lives (also one this user may not signal); one whose number fits
// no process is stale and taken over. Where no lock file can be made in the
// system's folder (missing, or a folder or a link planted at the lock's
// name by anyone), the claim falls back on the private runtime folder,
// which keeps this user's copies off only, and says so and why; without one
// (or with one others may write to), nobody is kept off.
TEST(PosixPortCheck, ClaimsRespectOthersAndSayHowFarTheyReach) {
  pty::PseudoTerminal terminal;
  const testing::TemporaryFolder work;
  const fs::path locks = work.path / "locks", runtime = work.path / "runtime";
  const std::string name = *lockFileName(terminal.slavePath());
  const fs::path lockFile = locks / name;
  const StandIn other;
  std::string binary(4, '\0');
  std::memcpy(binary.data(), &other.pid, 4);
  const std::string named = "refused minicom " + std::to_string(other.pid);
  const auto write = [&](const std::string& content) {
    return [&, content] { std::ofstream(lockFile, std::ios::binary) << content; };
  };
  const auto shortOf = [&](const char* reach, int error) {
    return std::string(reach) + " " + name + " " + std::to_string(error);
  };
  const struct {
    std::function<void()> plant;
    std::string claim;
    bool unprivileged = false;
    fs::perms runtime = fs::perms::owner_all;
  } cases[] = {
      {write(inLockFile(other.pid)), named},
      {write(binary), named},
      {write(inLockFile(1)), "refused ", true},   // alive, though kill() says EPERM
      {write(inLockFile(4294967297)), "machine"}, // not init's 1 once narrowed
      {write("4294967295\n"), "machine"},
      {write(""), "machine"},
      {[&] { fs::remove(locks); }, shortOf("this user", ENOENT)},
      {[&] { fs::create_directory(lockFile); }, shortOf("this user", EISDIR)},
      {[&] { fs::create_symlink(terminal.slavePath(), lockFile); }, shortOf("this user", ELOOP)},
      {[&] { fs::remove(locks); }, shortOf("nobody", ENOENT), false, fs::perms::all},
  };
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  for (const auto& c : cases) {
    fs::remove_all(work.path);
    fs::create_directories(locks);
    fs::create_directory(runtime);
    fs::permissions(locks, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(runtime, c.runtime);
    c.plant();
    chmod(lockFile.c_str(), 0666);
    EXPECT_EQ(
        inChild([&] {
          if (c.unprivileged && getuid() == 0 && !becomeUnprivileged())
            return 2;
          return outcome(*makePosixPortCheck(locks), terminal.slavePath()).starts_with(c.claim) ? 0
                                                                                                : 1;
        }),
        0)
        << c.claim;
    EXPECT_FALSE(fs::exists(runtime / name)); // given back
  }
  unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace obturix
