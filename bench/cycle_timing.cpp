// Times exposure cycles from outside, against the floor: the program's cycle
// and a bare loop with the same semantics run in turns on one
// pseudo-terminal, every open and close of it stamped by the same observer;
// prints each kind of step's error for both, the gap, and the CPU the
// program used while waiting.
//
// usage: cycle_timing [--window] [cycles] [exposure] [interval] [pulse] [settle]
//        cycle_timing --command OBTURIX-SERIE [cycles] [exposure] [interval] [pulse] [settle]
//        cycle_timing --bare PORT [cycles] [exposure] [interval] [pulse] [settle]
//        cycle_timing --summary STEPS
//        (durations in seconds, as typed in the window)
// --window: run the cycles as the window does, on a timing thread while a Qt
//           event loop (offscreen) holds input and shows the counter.
// --command: run the cycles as the terminal command does, a process of it
//           for each block of cycles (throw-away settings and journals).
// --bare:   only run the floor's cycles on PORT, for an outside instrument.
// --summary: print the same comparison from the steps an outside instrument
//           measured (see readMeasuredSteps); status 1 for a gross fault.
#include "bare_cycle.h"
#include "step_errors.h"

#include "exposure/duration.h"
#include "exposure/exposure_cycle.h"
#include "pty/pseudo_terminal.h"
#include "timing/monotonic_clock.h"
#include "timing/timing_priority.h"
#include "ui/qt/hold_input.h"

#include <QGuiApplication>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

using namespace obturix;
using namespace obturix::bench;

namespace {

double toMs(std::chrono::nanoseconds d) { return static_cast<double>(d.count()) / 1e6; }

std::chrono::nanoseconds threadCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

std::chrono::milliseconds millisecondsOf(const char* seconds) {
  const auto ms = durationMilliseconds(seconds);
  if (!ms) {
    std::fprintf(stderr, "cycle_timing: '%s' is not a duration in seconds\n", seconds);
    std::exit(2);
  }
  return *ms;
}

struct Options {
  enum class Mode { Plain, Window, Command, Bare } mode = Mode::Plain;
  std::string port;    // --bare only
  std::string command; // --command only
  int cycles = 50;
  const char *exposure = "0.25", *interval = "0.15", *pulse = "0.08", *settle = "0.1";
  Steps steps() const {
    return {millisecondsOf(pulse), millisecondsOf(settle), millisecondsOf(exposure),
            millisecondsOf(interval)};
  }
};

Options parseOptions(int argc, char** argv) {
  Options o;
  int first = 1;
  if (argc > 1 && std::string(argv[1]) == "--window") {
    o.mode = Options::Mode::Window;
    first = 2;
  } else if (argc > 2 && std::string(argv[1]) == "--command") {
    o.mode = Options::Mode::Command;
    o.command = argv[2];
    first = 3;
  } else if (argc > 2 && std::string(argv[1]) == "--bare") {
    o.mode = Options::Mode::Bare;
    o.port = argv[2];
    first = 3;
  }
  const auto arg = [&](int i, const char* fallback) {
    return argc > first + i ? argv[first + i] : fallback;
  };
  o.cycles = std::atoi(arg(0, "50"));
  o.exposure = arg(1, o.exposure);
  o.interval = arg(2, o.interval);
  o.pulse = arg(3, o.pulse);
  o.settle = arg(4, o.settle);
  if (o.cycles < 1) {
    std::fprintf(stderr, "cycle_timing: the number of cycles must be at least 1\n");
    std::exit(2);
  }
  return o;
}

// Every open and close of the port, stamped the moment it happens by a thread
// that polls without pause: it is the instrument, its CPU is not the cycle's.
class Instrument {
public:
  explicit Instrument(const std::string& port) : watcher_(port), observer_([this] { observe(); }) {}
  ~Instrument() {
    done_ = true;
    observer_.join();
  }
  // The events since the last call, once the last close has been seen.
  std::vector<pty::OpenCloseWatcher::Event> take() {
    sleepUntilMonotonic(monotonicNow() + std::chrono::milliseconds(2));
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
  }

private:
  void observe() {
    while (!done_.load(std::memory_order_relaxed)) {
      if (auto event = watcher_.poll()) {
        std::lock_guard lock(mutex_);
        events_.push_back(*event);
      }
    }
  }
  pty::OpenCloseWatcher watcher_;
  std::mutex mutex_;
  std::vector<pty::OpenCloseWatcher::Event> events_;
  std::atomic<bool> done_{false};
  std::thread observer_;
};

// Runs `count` cycles as the terminal command: one process, waited for;
// returns the CPU it used, its start included.
std::chrono::nanoseconds commandCycles(const Options& o, const std::string& port, int count) {
  static const std::string home = [] {
    char folder[] = "/tmp/cycle_timing.XXXXXX";
    return std::string(mkdtemp(folder));
  }();
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  setenv("XDG_STATE_HOME", home.c_str(), 1);
  const std::string n = std::to_string(count), pulse = std::string("--impulsion=") + o.pulse,
                    settle = std::string("--attente=") + o.settle;
  std::vector<const char*> args{o.command.c_str(),
                                "-n",
                                n.c_str(),
                                "-p",
                                o.exposure,
                                "-i",
                                o.interval,
                                "-m",
                                pulse.c_str(),
                                settle.c_str(),
                                "-P",
                                port.c_str(),
                                nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, o.command.c_str(), nullptr, nullptr, const_cast<char**>(args.data()),
                  environ) != 0) {
    std::fprintf(stderr, "cycle_timing: cannot start %s\n", o.command.c_str());
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "cycle_timing: %s failed\n", o.command.c_str());
    std::exit(1);
  }
  return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Runs cycles as the program does; returns the CPU they used.
std::chrono::nanoseconds programCycles(ExposureCycle& cycle, const Options& o,
                                       const std::string& port, int count) {
  std::chrono::nanoseconds cpu{};
  const auto run = [&](const HandOver& onWindow) {
    const auto start = threadCpuTime();
    for (int i = 0; i < count; ++i) {
      onWindow([] {}); // the counter's turn on the window's thread
      cycle.FairePause(answerYes, o.exposure, o.interval, port, o.pulse, o.settle);
    }
    cpu += threadCpuTime() - start;
  };
  if (o.mode == Options::Mode::Command)
    return commandCycles(o, port, count);
  if (o.mode == Options::Mode::Window) {
    const auto start = threadCpuTime();
    runHoldingInput(run);
    cpu += threadCpuTime() - start; // the event loop's
  } else {
    std::thread timing([&] {
      const TimingPriority priority;
      run([](const std::function<void()>&) {});
    });
    timing.join();
  }
  return cpu;
}

int compare(const Options& o) {
  pty::PseudoTerminal terminal;
  const std::string& port = terminal.slavePath();
  Instrument instrument(port);
  auto ports = makeSystemSerialPortServiceFactory();
  auto sleeper = makeSystemSleeper();
  ExposureCycle cycle(*ports, *sleeper);
  CycleErrors program = emptyCycleErrors(o.steps()), floor = program;
  std::chrono::nanoseconds cpu{}, wall{};
  constexpr int block = 5; // cycles in a row, so that pauses between them count
  for (int done = 0; done < o.cycles; done += block) {
    const int count = std::min(block, o.cycles - done);
    for (int i = 0; i < count; ++i)
      bareCycle(port, o.steps());
    const bool floorInOrder = addSteps(instrument.take(), floor);
    const auto start = monotonicNow();
    cpu += programCycles(cycle, o, port, count);
    wall += monotonicNow() - start;
    if (!floorInOrder || !addSteps(instrument.take(), program)) {
      std::fprintf(stderr, "cycle_timing: opens and closes out of order\n");
      return 1;
    }
  }
  std::printf("%d cycles with the mirror raised, port %s, %s; the floor in turns, same port\n",
              o.cycles, port.c_str(),
              o.mode == Options::Mode::Window    ? "as the window runs them"
              : o.mode == Options::Mode::Command ? "as the terminal command runs them"
                                                 : "on a timing thread");
  std::printf("error = measured - asked, ms\n");
  printComparison(program, floor);
  std::printf("CPU of the program's cycles%s: %.3f ms in %.3f s = %.4f %% of a core\n",
              o.mode == Options::Mode::Command ? " (each process's start included)" : "", toMs(cpu),
              toMs(wall) / 1000.0, 100.0 * toMs(cpu) / toMs(wall));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--summary") {
    CycleErrors program = emptyCycleErrors({}), floor = program;
    const bool sound = readMeasuredSteps(argv[2], program, floor);
    printComparison(program, floor);
    return sound ? 0 : 1;
  }
  const Options options = parseOptions(argc, argv);
  if (options.mode == Options::Mode::Bare) {
    for (int i = 0; i < options.cycles; ++i) {
      if (!bareCycle(options.port, options.steps()))
        return 1;
    }
    return 0;
  }
  std::unique_ptr<QGuiApplication> application;
  if (options.mode == Options::Mode::Window) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char qtName[] = "cycle_timing";
    static char* qtArgv[] = {qtName, nullptr};
    application = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
  }
  return compare(options);
}
