// Runs exposure cycles with real sleeps against a pseudo-terminal and times,
// from outside the cycle, each open and close of the port: how far every
// press and every pause is from what was asked, and how much CPU it cost.
//
// usage: cycle_timing [--window] [cycles] [exposure] [interval] [pulse] [settle]
//        (durations in seconds, as typed in the window)
// --window: sleep as the window does during a series, with a Qt event loop
//           running (offscreen) until shortly before each deadline.
#include "exposure/duration.h"
#include "exposure/exposure_cycle.h"
#include "platform/monotonic_clock.h"
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"
#include "ui/qt/event_loop_sleeper.h"

#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace obturix;
using Clock = std::chrono::nanoseconds;

namespace {

double toMs(std::chrono::nanoseconds d) { return static_cast<double>(d.count()) / 1e6; }

std::chrono::nanoseconds threadCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

struct Row {
  std::string name;
  long long requestedMs;
  std::vector<double> errorsMs; // measured - requested
};

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

void print(const Row& row) {
  std::vector<double> magnitudes;
  for (double e : row.errorsMs)
    magnitudes.push_back(std::fabs(e));
  if (magnitudes.empty())
    return;
  std::printf("%-14s %9lld %6zu %10.3f %10.3f %10.3f %+10.3f\n", row.name.c_str(), row.requestedMs,
              magnitudes.size(), percentile(magnitudes, 0.5), percentile(magnitudes, 0.99),
              *std::max_element(magnitudes.begin(), magnitudes.end()),
              *std::max_element(row.errorsMs.begin(), row.errorsMs.end()));
}

long long millisecondsOf(const char* seconds) {
  const auto ms = durationMilliseconds(seconds);
  if (!ms) {
    std::fprintf(stderr, "cycle_timing: '%s' is not a duration in seconds\n", seconds);
    std::exit(2);
  }
  return ms->count();
}

struct Options {
  bool window = false;
  int cycles = 50;
  const char* exposure = "0.25";
  const char* interval = "0.15";
  const char* pulse = "0.08";
  const char* settle = "0.1";
};

Options parseOptions(int argc, char** argv) {
  Options options;
  options.window = argc > 1 && std::string(argv[1]) == "--window";
  if (options.window) {
    --argc;
    ++argv;
  }
  const auto arg = [&](int i, const char* fallback) { return argc > i ? argv[i] : fallback; };
  options.cycles = std::atoi(arg(1, "50"));
  options.exposure = arg(2, options.exposure);
  options.interval = arg(3, options.interval);
  options.pulse = arg(4, options.pulse);
  options.settle = arg(5, options.settle);
  if (options.cycles < 1) {
    std::fprintf(stderr, "cycle_timing: the number of cycles must be at least 1\n");
    std::exit(2);
  }
  return options;
}

// What one run saw: every open and close of the port, stamped from outside,
// the length of each whole cycle, and the CPU the cycles took.
struct Measurement {
  std::string port;
  std::vector<pty::OpenCloseWatcher::Event> events;
  Row cycleRow;
  std::chrono::nanoseconds cpu{}, wall{};
};

std::unique_ptr<Sleeper> makeSleeper(bool window, std::unique_ptr<QGuiApplication>& application) {
  if (!window)
    return makeSystemSleeper();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int qtArgc = 1;
  static char qtName[] = "cycle_timing";
  static char* qtArgv[] = {qtName, nullptr};
  application = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
  return std::make_unique<EventLoopSleeper>();
}

Measurement measure(const Options& o) {
  pty::PseudoTerminal terminal;
  pty::OpenCloseWatcher watcher(terminal.slavePath());
  Measurement m{terminal.slavePath(), {}, {"whole cycle", 0, {}}, {}, {}};
  // The observer polls without pause so that each event is timestamped the
  // moment it happens; it is the instrument, its CPU is not the cycle's.
  std::atomic<bool> done{false};
  std::thread observer([&] {
    while (!done.load(std::memory_order_relaxed)) {
      if (auto event = watcher.poll())
        m.events.push_back(*event);
    }
    while (auto event = watcher.poll())
      m.events.push_back(*event);
  });

  std::unique_ptr<QGuiApplication> application;
  const auto sleeper = makeSleeper(o.window, application);
  auto ports = makeSystemSerialPortServiceFactory();
  ExposureCycle cycle(*ports, *sleeper);
  m.cycleRow.requestedMs = millisecondsOf(o.pulse) + millisecondsOf(o.settle) +
                           millisecondsOf(o.exposure) + millisecondsOf(o.interval);
  const auto wallStart = monotonicNow();
  const auto cpuStart = threadCpuTime();
  for (int i = 0; i < o.cycles; ++i) {
    const auto start = monotonicNow();
    cycle.FairePause(answerYes, o.exposure, o.interval, m.port, o.pulse, o.settle);
    m.cycleRow.errorsMs.push_back(toMs(monotonicNow() - start) -
                                  static_cast<double>(m.cycleRow.requestedMs));
  }
  m.cpu = threadCpuTime() - cpuStart;
  m.wall = monotonicNow() - wallStart;
  done = true;
  observer.join();
  return m;
}

// Each cycle gives two presses, the mirror pulse then the exposure, each
// followed by its pause. False when the events are not open, close, open…
bool splitIntoSteps(const Measurement& m, std::span<Row, 4> rows) {
  for (std::size_t i = 0, press = 0; i + 1 < m.events.size(); i += 2, ++press) {
    const auto& open = m.events[i];
    const auto& close = m.events[i + 1];
    if (open.kind != pty::OpenCloseWatcher::Kind::Open ||
        close.kind != pty::OpenCloseWatcher::Kind::Close)
      return false;
    Row& pressRow = rows[press % 2];
    pressRow.errorsMs.push_back(toMs(close.when - open.when) -
                                static_cast<double>(pressRow.requestedMs));
    if (i + 2 < m.events.size()) {
      Row& pauseRow = rows[2 + press % 2];
      pauseRow.errorsMs.push_back(toMs(m.events[i + 2].when - close.when) -
                                  static_cast<double>(pauseRow.requestedMs));
    }
  }
  return true;
}

// The floor: how late the system wakes a thread from a plain sleep of the
// same kind, with no port involved.
Row plainSleepLateness(int count) {
  Row row{"sleep alone", 20, {}};
  for (int i = 0; i < count; ++i) {
    const auto deadline = monotonicNow() + std::chrono::milliseconds(row.requestedMs);
    sleepUntilMonotonic(deadline);
    row.errorsMs.push_back(toMs(monotonicNow() - deadline));
  }
  return row;
}

int report(const Options& o, const Measurement& m) {
  Row rows[] = {{"mirror pulse", millisecondsOf(o.pulse), {}},
                {"exposure", millisecondsOf(o.exposure), {}},
                {"settle", millisecondsOf(o.settle), {}},
                {"interval", millisecondsOf(o.interval), {}}};
  if (!splitIntoSteps(m, rows) || m.events.size() != static_cast<std::size_t>(4 * o.cycles)) {
    std::fprintf(stderr, "cycle_timing: saw %zu opens and closes, expected %d\n", m.events.size(),
                 4 * o.cycles);
    return 1;
  }
  std::printf("%d cycles with the mirror raised, port %s, %s\n", o.cycles, m.port.c_str(),
              o.window ? "sleeping in the window's event loop" : "plain sleeps");
  std::printf("%-14s %9s %6s %10s %10s %10s %10s\n", "step", "asked ms", "count", "p50 |err|",
              "p99 |err|", "max |err|", "max err");
  for (const auto& row : rows)
    print(row);
  print(m.cycleRow);
  print(plainSleepLateness(4 * o.cycles));
  std::printf("CPU of the cycle thread: %.3f ms in %.3f s wall = %.4f %%\n", toMs(m.cpu),
              toMs(m.wall) / 1000.0, 100.0 * toMs(m.cpu) / toMs(m.wall));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  return report(options, measure(options));
}
