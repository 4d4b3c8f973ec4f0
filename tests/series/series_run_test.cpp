#include "series/series_run_rig.h"

#include <gtest/gtest.h>

#include <thread>

namespace obturix {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;
using testing::SeriesRunRig;

// The front hears of each exposure before it runs and of the end once all is
// over; the computer is kept awake from before the first press to after the
// last pause, and the port's claim held throughout, kept at each exposure,
// and given back at the end.
TEST(SeriesRun, TellsItsFrontWhatHappensInOrder) {
  SeriesRunRig rig;
  rig.params.count = "2";
  bool claimed = false;
  rig.sleeper.at[3500ms] = [&] { claimed = rig.ports.claimed.contains("COM1"); };
  const SeriesOutcome outcome = rig.run();
  EXPECT_EQ(rig.log.events(),
            (Events{"awake", "progress 0/2 #1", "open COM1", "sleep 1000", "close COM1",
                    "sleep 1000", "progress 1/2 #2", "open COM1", "sleep 1000", "close COM1",
                    "sleep 1000", "may sleep", "progress 2/2 #0"}));
  EXPECT_TRUE(claimed);
  EXPECT_EQ(rig.ports.claimsKept, 2);
  EXPECT_TRUE(rig.ports.claimed.empty());
  EXPECT_EQ(outcome.presses.made(), 2);
  EXPECT_FALSE(outcome.lossWarning || outcome.journalWarning);
}

// A stop, from any thread, lets the press under way go at once; no press
// follows, and the series ends told as stopped by whoever stopped it.
TEST(SeriesRun, AStopFromAnyThreadEndsItAtOnce) {
  using Press = testing::FakeSerialPortServiceFactory::Press;
  SeriesRunRig rig;
  rig.sleeper.at[2500ms] = [&] {
    std::thread([&] { rig.running->stop(SeriesEnd::StoppedByUser); }).join();
  };
  const SeriesOutcome outcome = rig.run();
  EXPECT_EQ(rig.ports.presses, (std::vector<Press>{{0ms, 1000ms}, {2000ms, 2500ms}}));
  EXPECT_EQ(outcome.how, SeriesEnd::StoppedByUser);
  EXPECT_EQ(outcome.presses.cutByStop, 1);
  EXPECT_EQ(outcome.presses.notStarted(outcome.asked), 1);
}

// At each exposure its front is told the exposure under way of how many,
// the time left and when the series ends, to the nearest minute, recomputed
// from the clock (here each open of the port takes a minute more than
// asked), the date given only when the end falls on another day, and, as
// soon as one is lost, which exposures were; nothing once it is over.
TEST(SeriesRun, TellsTheTimeLeftTheEndAndTheExposuresLost) {
  using namespace std::chrono;
  SeriesRunRig rig;
  rig.wallClock.start = sys_days{year{2026} / 12 / 7} + 23h + 58min + 40s;
  rig.ports.takes.open = 1min;
  rig.params = {"3", "3600", "60", answerNo, "COM1", "", ""};
  rig.sleeper.at[8000s] = [&] { rig.ports.existingPorts.clear(); }; // during the third
  rig.run();
  EXPECT_EQ(rig.front.notes,
            (Events{typeset("Pose 1 sur 3 — il reste 3 h 3 min, fin le 8 décembre vers 03:02"),
                    typeset("Pose 2 sur 3 — il reste 2 h 2 min, fin vers 03:03"),
                    typeset("Pose 3 sur 3 — il reste 1 h 1 min, fin vers 03:04"),
                    typeset("Pose 3 sur 3 — il reste 1 h 1 min, fin vers 03:04 — 1 pose "
                            "manquée : la 3"),
                    ""}));
}

// A press that failed (not made, or cut short when its port went) is told
// at once, as the series goes on: each new loss, even of the same cause,
// and a change of cause while presses keep failing, but never twice within
// a minute, so that an adapter coming and going cannot flood the desktop.
TEST(SeriesRun, APressThatFailedIsToldAtOnceOncePerLoss) {
  using std::string;
  const string gone = "le port « COM1 » a disparu (câble débranché ?)";
  const auto missed = [](int number, const string& cause) {
    return "notice " + typeset("La pose " + std::to_string(number) + " n'a pas eu lieu : " + cause +
                               ". La série continue.");
  };
  const struct {
    const char* name;
    string
        port; // at each exposure, 1 s every 2 s: o there, g gone (c during it), b busy, f forbidden
    Events notices;
  } cases[] = {
      {"lost, made, lost a minute later",
       "og" + string(33, 'o') + "ggggg",
       {missed(2, gone), missed(36, gone)}},
      {"lost again within the minute: told once it is over",
       "ogo" + string(37, 'g'),
       {missed(2, gone), missed(32, gone)}},
      {"causes changing every press",
       "obfbfbfbfbfbfbfbfbfbfbfbf",
       {missed(2, "le port « COM1 » est utilisé par un autre programme")}},
      {"a press cut short, then missed",
       "ocg",
       {"notice " + typeset("La pose 2 a été coupée au bout de 0,5 s : le port « COM1 » a disparu "
                            "pendant la pose (câble débranché ?). La série continue.")}},
  };
  for (const auto& c : cases) {
    SeriesRunRig rig;
    rig.params.count = std::to_string(c.port.size());
    for (std::size_t i = 0; i < c.port.size(); ++i) {
      const auto at = 2000ms * static_cast<int>(i) + (c.port[i] == 'c' ? 500ms : -500ms);
      rig.sleeper.at[at] = [&rig, state = c.port[i]] {
        rig.ports.existingPorts = {"COM1"};
        rig.ports.refusedOpens.clear();
        if (state == 'g' || state == 'c')
          rig.ports.existingPorts.clear();
        else if (state != 'o')
          rig.ports.refusedOpens["COM1"] =
              state == 'b' ? PortFailure::Cause::Busy : PortFailure::Cause::Forbidden;
      };
    }
    rig.run();
    EXPECT_EQ(rig.only("notice "), c.notices) << c.name;
    // Told as soon as the press is over, before the wait after it, timed as ever.
    const Events& events = rig.log.events();
    const auto next = std::find_if(
        std::find(events.begin(), events.end(), c.notices.front()), events.end(),
        [](const string& e) { return e.starts_with("sleep") || e.starts_with("open"); });
    EXPECT_EQ(next == events.end() ? "" : *next, "sleep 1000") << c.name;
  }
}

// A series longer than the battery is expected to last is told before it
// starts; on mains, without a battery or an estimate, or with enough left,
// nothing. A battery running low during a series is told once, as soon as
// the system says so, not at the next exposure; 0 % is no answer to tell.
TEST(SeriesRun, TheBatteryIsWatched) {
  const struct {
    std::optional<PowerState> power;
    bool warned = false;
  } cases[] = {
      {PowerState{true, 35, 5s}, true},
      {PowerState{true, 35, 60s}},
      {PowerState{false, 35, 5s}},
      {PowerState{true, 35, std::nullopt}},
      {std::nullopt},
  };
  for (const auto& c : cases) {
    SeriesRunRig rig;
    rig.power.state = c.power;
    SeriesRun series(rig.series(), std::get<SeriesPlan>(readPlan(rig.params)));
    EXPECT_EQ(series.shortBatteryWarning(),
              c.warned ? std::optional(shortBatteryWarning(35, 5s, 6000ms)) : std::nullopt);
    rig.sleeper.at[1200ms] = [&] { rig.power.change({true, 0, std::nullopt}); };
    rig.sleeper.at[1500ms] = [&] { rig.power.change({true, 10, 10min}); };
    rig.sleeper.at[2500ms] = [&] { rig.power.change({true, 9, 9min}); };
    rig.run();
    const Events& events = rig.log.events();
    const auto low = std::find(events.begin(), events.end(), "notice " + lowBatteryNotice(10));
    EXPECT_LT(low, std::find(events.begin(), events.end(), "progress 1/3 #2")); // in the pause
    EXPECT_EQ(rig.only("notice ").size(), 1u);
  }
}

} // namespace
} // namespace obturix
