#include "exposure/exposure_cycle.h"

#include "fakes/fake_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace obturix {
namespace {

using Events = std::vector<std::string>;
using testing::EventLog;
using testing::FakeSerialPortServiceFactory;
using testing::FakeSleeper;

struct CycleArguments {
  Variant mirror = answerYes;
  Variant exposure = "1";
  Variant interval = "1";
  Variant port = "COM1";
  Variant pulse = "0.08";
  Variant settle = "1";
};

class Cycle : public ::testing::Test {
protected:
  void run(const CycleArguments& a) {
    cycle.FairePause(a.mirror, a.exposure, a.interval, a.port, a.pulse, a.settle);
  }

  EventLog log;
  FakeSleeper sleeper{log};
  FakeSerialPortServiceFactory ports{log, sleeper};
  ExposureCycle cycle{ports, sleeper};
};

const Events mirrorThenExposure = {"open COM1", "sleep 80",   "close COM1", "sleep 1000",
                                   "open COM1", "sleep 1000", "close COM1", "sleep 1000"};
const Events exposureOnly = {"open COM1", "sleep 1000", "close COM1", "sleep 1000"};

TEST_F(Cycle, FollowsItsTimeline) {
  const struct {
    const char* name;
    CycleArguments arguments;
    Events events;
  } cases[] = {
      // clang-format off
      {"window defaults", {}, mirrorThenExposure},
      {"mirror as text", {.mirror = "6"}, mirrorThenExposure},
      {"no mirror ignores its timings", {.mirror = answerNo, .pulse = "abc", .settle = "-3"}, exposureOnly},
      {"6.5 is not Yes", {.mirror = "6.5"}, exposureOnly},
      {"a failed step is skipped", {.mirror = answerNo, .exposure = "abc"}, {"open COM1", "close COM1", "sleep 1000"}},
      {"an unknown port takes its time", {.port = "COM9"}, {"sleep 80", "sleep 1000", "sleep 1000", "sleep 1000"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    log.clear();
    run(c.arguments);
    EXPECT_EQ(log.events(), c.events) << c.name;
  }
}

// A photographer counts exposures: a pulse that failed before an exposure
// made is told as such, and why the first press failed, not a later one.
TEST_F(Cycle, CountsExposuresAndKeepsTheFirstFailure) {
  using enum PortFailure::Cause;
  ports.refusedOpens["COM1"] = Busy;
  sleeper.duringNextSleep = [&] { ports.refusedOpens.clear(); };
  run({});
  ports.refusedOpens["COM1"] = Forbidden;
  run({.mirror = answerNo});
  const PressCount presses = cycle.takePresses();
  EXPECT_EQ((std::vector<std::int64_t>{presses.exposures, presses.missed, presses.withoutMirror,
                                       presses.failedPresses}),
            (std::vector<std::int64_t>{2, 1, 1, 2}));
  EXPECT_EQ(presses.firstFailed.failure.cause, Busy);
}

// The port gone while it is held (the adapter pulled out): the press ends
// there, recorded and counted as cut short with its real length, and the
// cycle goes on as ever, its next press tried and its waits timed from the
// release.
TEST_F(Cycle, APortGoneDuringAPressEndsItThere) {
  using namespace std::chrono_literals;
  using enum PressResult;
  using Seen = std::vector<std::pair<PressResult, std::chrono::nanoseconds>>; // and how long
  const struct {
    const char* name;
    std::chrono::milliseconds pulledAt;
    Seen presses;
    std::vector<std::int64_t> counts; // exposures, missed, cut by the port, failed presses
    std::chrono::milliseconds end;    // of the cycle, its waits timed from the releases
  } cases[] = {
      {"during the exposure", 1500ms, {{Made, 80ms}, {CutByPort, 420ms}}, {1, 0, 1, 1}, 2500ms},
      {"during the mirror pulse", 30ms, {{CutByPort, 30ms}, {Missed, 0ms}}, {1, 1, 0, 2}, 3030ms},
  };
  for (const auto& c : cases) {
    ports.existingPorts = {"COM1"};
    sleeper.elapsed = 0ms;
    Seen seen;
    cycle.onPress(
        [&](const PressRecord& p) { seen.emplace_back(p.result, p.released - p.pressed); });
    sleeper.at[c.pulledAt] = [&] { ports.existingPorts.clear(); };
    run({});
    EXPECT_EQ(seen, c.presses) << c.name;
    EXPECT_EQ(sleeper.elapsed, c.end) << c.name;
    const PressCount presses = cycle.takePresses();
    EXPECT_EQ((std::vector<std::int64_t>{presses.exposures, presses.missed, presses.cutByPort,
                                         presses.failedPresses}),
              c.counts)
        << c.name;
    EXPECT_EQ(presses.firstFailed.result, CutByPort) << c.name;
  }
}

// The cable plugged back in during the wait before a press, after the port
// was looked for: it is looked for again.
TEST_F(Cycle, APortThatComesBackDuringAWaitIsPressedAfterIt) {
  ports.existingPorts.clear();
  sleeper.duringNextSleep = [&] {
    sleeper.duringNextSleep = [&] { ports.existingPorts.insert("COM1"); };
  };
  run({});
  EXPECT_EQ(log.events(), (Events{"sleep 80", "sleep 1000", "open COM1", "sleep 1000", "close COM1",
                                  "sleep 1000"}));
}

// Finding, opening and closing a port take time (milliseconds on a USB
// adapter). Finding it is done during the wait before its press and counts
// nowhere; its open and close fall where a bare loop has them: a press runs
// to the end of its close, a pause to the end of the next open.
TEST_F(Cycle, APortsOwnTimeIsNotCountedIntoTheSteps) {
  using namespace std::chrono_literals;
  ports.takes = {.lookUp = 7ms, .open = 3ms, .close = 2ms};
  run({});
  run({});
  std::vector<std::chrono::milliseconds> steps; // press, pause, press…
  for (std::size_t i = 0; i < ports.presses.size(); ++i) {
    if (i > 0)
      steps.push_back(ports.presses[i].pressed - ports.presses[i - 1].released);
    steps.push_back(ports.presses[i].released - ports.presses[i].pressed);
  }
  EXPECT_EQ(steps, (std::vector<std::chrono::milliseconds>{82ms, 1003ms, 1002ms, 1003ms, 82ms,
                                                           1003ms, 1002ms}));
}

// A stop from another thread while a press's port is looked for and opened
// (slow on some adapters) waits for the open: once stop() has returned, no
// press begins.
TEST_F(Cycle, AStopWaitsForAPressBeingOpened) {
  std::atomic<bool> returned{false};
  std::thread stopping;
  ports.whileLookingUp = [&] {
    stopping = std::thread([&] {
      cycle.stop();
      returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
  };
  run({.mirror = answerNo});
  stopping.join();
  EXPECT_EQ(ports.presses.size(), 1u);
}

} // namespace
} // namespace obturix
