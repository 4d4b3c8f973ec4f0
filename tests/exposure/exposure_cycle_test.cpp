#include "exposure/exposure_cycle.h"

#include "fakes/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace obturix {
namespace {

using Events = std::vector<std::string>;
using testing::EventLog;
using testing::FakeClock;
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

struct CycleCase {
  std::string name;
  CycleArguments arguments;
  Events events;
  long long elapsedMilliseconds;
};

void PrintTo(const CycleCase& c, std::ostream* out) { *out << c.name; }

class Cycle : public ::testing::TestWithParam<CycleCase> {
protected:
  void run(const CycleArguments& a) {
    cycle.FairePause(a.mirror, a.exposure, a.interval, a.port, a.pulse, a.settle);
  }

  EventLog log;
  FakeClock clock;
  FakeSleeper sleeper{log, clock};
  FakeSerialPortServiceFactory ports{log};
  ExposureCycle cycle{ports, sleeper};
};

TEST_P(Cycle, FollowsItsTimeline) {
  run(GetParam().arguments);
  EXPECT_EQ(log.events(), GetParam().events);
  EXPECT_EQ(clock.now().count(), GetParam().elapsedMilliseconds);
}

CycleArguments with(void (*change)(CycleArguments&)) {
  CycleArguments a;
  change(a);
  return a;
}

const Events mirrorThenExposure = {"open COM1", "sleep 80",   "close COM1", "sleep 1000",
                                   "open COM1", "sleep 1000", "close COM1", "sleep 1000"};

INSTANTIATE_TEST_SUITE_P(
    Timelines, Cycle,
    ::testing::Values(
        CycleCase{"MirrorWithWindowDefaults", {}, mirrorThenExposure, 3080},
        CycleCase{"MirrorAsText", with([](auto& a) { a.mirror = "6"; }), mirrorThenExposure, 3080},
        CycleCase{"NoMirror",
                  with([](auto& a) { a.mirror = answerNo; }),
                  {"open COM1", "sleep 1000", "close COM1", "sleep 1000"},
                  2000},
        CycleCase{"NoMirrorIgnoresMirrorTimings",
                  with([](auto& a) {
                    a.mirror = answerNo;
                    a.pulse = "abc";
                    a.settle = "-3";
                  }),
                  {"open COM1", "sleep 1000", "close COM1", "sleep 1000"},
                  2000},
        CycleCase{"MirrorSixAndAHalfIsNotYes",
                  with([](auto& a) { a.mirror = "6.5"; }),
                  {"open COM1", "sleep 1000", "close COM1", "sleep 1000"},
                  2000},
        CycleCase{"AnyOtherMirrorChoiceSkipsTheMirror",
                  with([](auto& a) { a.mirror = Variant(); }),
                  {"open COM1", "sleep 1000", "close COM1", "sleep 1000"},
                  2000},
        CycleCase{"ExposureNotANumberClosesAtOnce",
                  with([](auto& a) {
                    a.mirror = answerNo;
                    a.exposure = "abc";
                  }),
                  {"open COM1", "close COM1", "sleep 1000"},
                  1000},
        CycleCase{"EmptyAndNegativeDurationsAreSkipped",
                  with([](auto& a) {
                    a.pulse = "";
                    a.settle = "-1";
                    a.exposure = "2,5";
                    a.interval = "-0.5";
                  }),
                  {"open COM1", "close COM1", "open COM1", "sleep 2500", "close COM1"},
                  2500},
        CycleCase{"OverflowingMillisecondsAreSkipped",
                  with([](auto& a) {
                    a.mirror = answerNo;
                    a.exposure = "2147483.648";
                    a.interval = "2147483.647";
                  }),
                  {"open COM1", "close COM1", "sleep 2147483647"},
                  2147483647},
        CycleCase{"NumbersConvertLikeTexts",
                  with([](auto& a) {
                    a.exposure = 0.0015;
                    a.interval = 2;
                    a.pulse = 0.0005;
                  }),
                  {"open COM1", "sleep 0", "close COM1", "sleep 1000", "open COM1", "sleep 2",
                   "close COM1", "sleep 2000"},
                  3002},
        CycleCase{"UnknownPortPressesNothingButTakesItsTime",
                  with([](auto& a) { a.port = "COM9"; }),
                  {"sleep 80", "sleep 1000", "sleep 1000", "sleep 1000"},
                  3080}),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST_F(Cycle, UnopenablePortNeverClosesTheStaleStreamAgain) {
  run(with([](auto& a) { a.mirror = answerNo; }));
  ports.existingPorts.clear();
  log.clear();

  run({});

  EXPECT_EQ(log.events(), (Events{"sleep 80", "sleep 1000", "sleep 1000", "sleep 1000"}));
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

TEST_F(Cycle, ReusesTheEarlierServiceWhenNoNewOneCanBeCreated) {
  run(with([](auto& a) { a.mirror = answerNo; }));
  ports.creationFails = true;
  log.clear();

  run({});

  EXPECT_EQ(log.events(), mirrorThenExposure);
  EXPECT_EQ(ports.opensPerService.size(), 2u); // the second one serves on
}

TEST_F(Cycle, WithoutAnyServiceEveryOpenFailsAndTheCycleStillTakesItsTime) {
  ports.creationFails = true;

  run({});

  EXPECT_EQ(log.events(), (Events{"sleep 80", "sleep 1000", "sleep 1000", "sleep 1000"}));
  EXPECT_TRUE(ports.opensPerService.empty());
}

TEST_F(Cycle, TakesAFreshServiceForEveryOpen) {
  run({});
  EXPECT_EQ(ports.opens(), 2);
  EXPECT_EQ(*std::max_element(ports.opensPerService.begin(), ports.opensPerService.end()), 1);
}

TEST_F(Cycle, SurvivesHostileTextsInEveryValue) {
  const Variant hostile[] = {"",
                             "1e400",
                             "-5",
                             std::string(10000, '9'),
                             "\xe5\xbf\xab\xe9\x97\xa8",
                             "/dev/null",
                             Variant(Variant::List{"COM1"}),
                             Variant(std::numeric_limits<double>::quiet_NaN())};
  for (const auto& value : hostile) {
    run({value, value, value, value, value, value});
    run({answerYes, value, value, "COM1", value, value});
  }
  // Only the well-formed port opens, twice in each second run, and each open is closed.
  long opens = 0;
  long closes = 0;
  for (const auto& event : log.events()) {
    opens += event.starts_with("open ");
    closes += event.starts_with("close ");
  }
  EXPECT_EQ(opens, 2 * static_cast<long>(std::size(hostile)));
  EXPECT_EQ(closes, opens);
}

} // namespace
} // namespace obturix
