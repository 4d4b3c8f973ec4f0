#include "window/form1_rig.h"

#include "text/french.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace obturix {
namespace {

using enum Control;
using Events = std::vector<std::string>;
using testing::Form1Rig;

struct SeriesCase {
  const char* name;
  std::vector<std::pair<Control, std::string>> typed = {}; // over the initial texts
  bool mirror = false;
  bool popups = true;
  std::deque<int> answers = {};
  Events events = {};
  bool saved = false; // the parameters, for the next run
};

// The confirmation as the window asks it, with the typed values.
std::string confirmation(const std::string& exposure, const std::string& count,
                         const std::string& interval, const std::string& mirror) {
  return "box Lancer la session de prises de vues ?: Lancer une série de pauses ?\r\r"
         "Temps de pause       : " +
         exposure + "\rNombre de pauses     : " + count + "\rIntervalle           : " + interval +
         "\rRelever le miroir    : " + mirror + "\r\r Oui pour lancer, Non pour arrêter...";
}
const std::string endNotice = "box Obturix: La série de pauses est terminée ";
std::string box(const std::string& prompt) { return "box Obturix: " + prompt; }

Events concat(std::initializer_list<Events> parts) {
  Events all;
  for (const auto& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A series that starts: the window repainted, the computer kept awake, then
// per cycle the counter shown and repainted and the task bar's progress
// moved on before the cycle runs; all done at the end.
Events started(int cycles, const Events& cycle) {
  const std::string of = "/" + std::to_string(cycles) + " #";
  Events events = {"repaint", "awake"};
  for (int i = 1; i <= cycles; ++i)
    events = concat({events,
                     {"LabEc " + std::to_string(i), "repaint LabEc",
                      "progress " + std::to_string(i - 1) + of + std::to_string(i)},
                     cycle});
  return concat({events, {"may sleep", "progress " + std::to_string(cycles) + of + "0"}});
}

const Events exposure = {"open COM1", "sleep 1000", "close COM1", "sleep 1000"};
const Events mirrorThenExposure =
    concat({{"open COM1", "sleep 80", "close COM1", "sleep 1000"}, exposure});

// clang-format off
const SeriesCase seriesCases[] = {
    {.name = "count 3, confirmed", .typed = {{Text1, "3"}}, .events = concat({{confirmation("1", "3", "1", "Non")}, started(3, exposure), {endNotice, "LabEc 0", "progress cleared"}}), .saved = true},
    {.name = "count 0 starts no cycle and uses neither durations nor port", .typed = {{Text1, "0"}, {Text2, ""}, {Text5, "COM9"}}, .events = concat({{confirmation("", "0", "1", "Non")}, started(0, {}), {endNotice, "LabEc 0", "progress cleared"}}), .saved = true},
    {.name = "answer No", .typed = {{Text1, "12"}, {Text2, "30,5"}, {Text3, " 2"}}, .mirror = true, .answers = {answerNo}, .events = {confirmation("30,5", "12", " 2", "Oui"), endNotice, "LabEc 0"}},
    {.name = "mirror checked", .typed = {{Text6, "0,08"}}, .mirror = true, .popups = false, .events = concat({started(1, mirrorThenExposure), {"LabEc 0", "progress cleared"}}), .saved = true},
    {.name = "unknown port refused", .typed = {{Text5, "COM9"}}, .events = {box(missingPortRefusal("COM9", {"COM1", "COM2", "COM3", "COM4"}))}},
    {.name = "port the user may not open refused", .typed = {{Text5, "COM2"}}, .events = {box(forbiddenPortRefusal("COM2", "dialout", "jean"))}},
    {.name = "port of another copy's series refused", .typed = {{Text5, "COM3"}}, .events = {box(portInUseRefusal("COM3", std::nullopt))}},
    {.name = "port nothing could claim: told, then the series", .typed = {{Text5, "COM4"}}, .popups = false, .events = concat({{box(unclaimedPortWarning("COM4", ClaimReach::Nobody, std::nullopt))}, started(1, {"open COM4", "sleep 1000", "close COM4", "sleep 1000"}), {"LabEc 0", "progress cleared"}}), .saved = true},
    {.name = "refused count", .typed = {{Text1, "trois"}}, .events = {box("Le nombre de pauses doit être écrit en chiffres.")}},
};
// clang-format on

TEST(Form1Series, RunsAsTheWindowSays) {
  for (const SeriesCase& c : seriesCases) {
    Form1Rig rig;
    rig.ports.existingPorts = {"COM1", "COM2", "COM3", "COM4"};
    rig.ports.unclaimable = {"COM4"};
    rig.ports.forbiddenPorts = {{"COM2", "dialout"}};
    rig.ports.claimed = {"COM3"}; // by another copy of the program
    for (const auto& [field, text] : c.typed)
      rig.type(field, text);
    rig.view.setChecked(ChkMiro, c.mirror);
    rig.view.setChecked(ChkAffichePoppup, c.popups);
    rig.view.boxes.answers = c.answers;

    rig.form.LancerSerie();

    EXPECT_EQ(rig.log.events(), c.events) << c.name;
    EXPECT_EQ(rig.view.shown(LabEc), "0") << c.name;
    EXPECT_EQ(rig.registry.keys().contains("software\\obturix\\param"), c.saved) << c.name;
  }
}

// Nor does "Lancer " pressed again, by a means the held input does not hold,
// even for another port.
TEST(Form1Series, CapturesTheParametersOnceAndRunsOnlyOnce) {
  Form1Rig rig;
  rig.ports.existingPorts = {"COM1", "COM2"};
  rig.view.setChecked(ChkAffichePoppup, false);
  rig.type(Text1, "2");
  rig.sleeper.duringNextSleep = [&] {
    rig.type(Text2, "5");
    rig.type(Text5, "COM2");
    rig.form.LancerSerie();
  };
  rig.form.LancerSerie();
  EXPECT_EQ(rig.sleeper.elapsed.count(), 4000);
  EXPECT_EQ(rig.ports.presses.size(), 2u);
  EXPECT_EQ(rig.ports.claimsKept, 2); // its lock made again if removed, at each exposure
}

// While the confirmation is open no cycle runs: closing the window asks no
// question and waits for the series' end; the system ending the program
// (which it then does at once) has the port's claim given back first.
TEST(Form1Series, AnEndDuringTheConfirmationStopsNothingAndLeavesNoClaim) {
  Form1Rig rig;
  rig.view.boxes.whileNextOpen = [&] {
    EXPECT_FALSE(rig.form.mayClose());
    EXPECT_EQ(rig.ports.claimed.size(), 1u);
    EXPECT_FALSE(rig.form.endNow());
    EXPECT_TRUE(rig.ports.claimed.empty());
  };
  rig.form.LancerSerie();
  EXPECT_EQ(rig.ports.presses.size(), 1u);
  EXPECT_EQ(rig.log.events()[1], "repaint"); // no question, the series started
  EXPECT_EQ(rig.log.events().back(), "hide");
}

// However the cycles end, the computer may sleep again afterwards, and the
// window takes the next series.
TEST(Form1Series, CyclesThatThrowLeaveTheWindowFreeForTheNext) {
  Form1Rig rig;
  rig.sleeper.duringNextSleep = [] { throw std::runtime_error("no more memory"); };
  EXPECT_THROW(rig.form.LancerSerie(), std::runtime_error);
  EXPECT_EQ(rig.log.events().back(), "may sleep");
  rig.form.LancerSerie();
  EXPECT_EQ(rig.ports.presses.size(), 2u);
}

// Exposures begun, missed and cut by their port; the presses that failed,
// the first of them with `first` (a mirror pulse's or not).
PressCount failures(std::int64_t exposures, std::int64_t missed, std::int64_t cut,
                    std::int64_t failed, PressResult first, bool mirrorPulse) {
  PressCount presses;
  presses.exposures = exposures;
  presses.missed = missed;
  presses.cutByPort = cut;
  presses.failedPresses = failed;
  presses.firstFailed.result = first;
  presses.firstFailed.mirrorPulse = mirrorPulse;
  return presses;
}

// The close box during a series asks at once, the series going on; Yes lets
// the release go at that very instant and ends the program once the series
// has saved its parameters and told what went wrong, without its end
// notice. The system ending the program does the same without a box.
TEST(Form1Series, AStopLetsTheReleaseGoAtOnceAndKeepsEverything) {
  using namespace std::chrono_literals;
  using Press = testing::FakeSerialPortServiceFactory::Press;
  const std::string stop = "box Obturix: " + std::string(stopQuestion);
  const std::string start = confirmation("1", "3", "1", "Non");
  const struct {
    const char* name;
    bool mirror = false;
    std::chrono::milliseconds at;
    bool closeBox = true;                             // else the system ends the program
    std::deque<int> answers = {answerYes, answerYes}; // the confirmation's, the close box's
    std::vector<Press> presses;
    Events boxes;
    const char* lastCounter;
    bool pullCable = false; // during the first press, or at cableAt
    std::chrono::milliseconds cableAt = 500ms;
  } cases[] = {
      // clang-format off
      {.name = "a stray Enter: No", .at = 2500ms, .answers = {answerYes}, .presses = {{0ms, 1000ms}, {2000ms, 3000ms}, {4000ms, 5000ms}}, .boxes = {start, stop, endNotice}, .lastCounter = "LabEc 3"},
      {.name = "Yes during the second exposure", .at = 2500ms, .presses = {{0ms, 1000ms}, {2000ms, 2500ms}}, .boxes = {start, stop}, .lastCounter = "LabEc 2"},
      {.name = "Yes during a mirror pulse", .mirror = true, .at = 50ms, .presses = {{0ms, 50ms}}, .boxes = {confirmation("1", "3", "1", "Oui"), stop}, .lastCounter = "LabEc 1"},
      {.name = "Yes after a cut and a missed press", .at = 2500ms, .presses = {{0ms, 500ms}}, .boxes = {start, stop, box(missedPressesWarning(failures(2, 1, 1, 2, PressResult::CutByPort, false), 3, "COM1"))}, .lastCounter = "LabEc 2", .pullCable = true},
      {.name = "Yes after a failed pulse", .mirror = true, .at = 3500ms, .presses = {{0ms, 80ms}, {1080ms, 2080ms}}, .boxes = {confirmation("1", "3", "1", "Oui"), stop, box(missedPressesWarning(failures(1, 0, 0, 1, PressResult::Missed, true), 3, "COM1"))}, .lastCounter = "LabEc 2", .pullCable = true, .cableAt = 2100ms},
      {.name = "the system, during a pause", .at = 1500ms, .closeBox = false, .presses = {{0ms, 1000ms}}, .boxes = {start}, .lastCounter = "LabEc 1"},
      // clang-format on
  };
  for (const auto& c : cases) {
    Form1Rig rig;
    rig.type(Text1, "3");
    rig.view.setChecked(ChkMiro, c.mirror);
    rig.view.boxes.answers = c.answers;
    if (c.pullCable)
      rig.sleeper.at[c.cableAt] = [&] { rig.ports.existingPorts.clear(); };
    rig.sleeper.at[c.at] = [&] {
      if (c.closeBox)
        EXPECT_FALSE(rig.form.mayClose()) << c.name; // it closes once the series is over
      else
        EXPECT_TRUE(rig.form.endNow()) << c.name;
    };

    rig.form.LancerSerie();

    EXPECT_EQ(rig.ports.presses, c.presses) << c.name;
    Events boxes, counters;
    for (const std::string& event : rig.log.events()) {
      if (event.starts_with("box "))
        boxes.push_back(event);
      else if (event.starts_with("LabEc "))
        counters.push_back(event);
    }
    EXPECT_EQ(boxes, c.boxes) << c.name;
    EXPECT_EQ(counters.end()[-2], c.lastCounter) << c.name; // before "LabEc 0"
    const bool stopped = c.presses.size() < 3;
    EXPECT_EQ(rig.log.events().back(), stopped ? "hide" : "progress cleared") << c.name;
    EXPECT_EQ(rig.registry.keys().at("software\\obturix\\param").values.size(), 7u) << c.name;
  }
}

// The cable pulled out during the n-th sleep of a series.
void pullTheCableDuringSleep(Form1Rig& rig, int n) {
  rig.sleeper.duringNextSleep = [&rig, n] {
    if (n == 1)
      rig.ports.existingPorts.clear();
    else
      pullTheCableDuringSleep(rig, n - 1);
  };
}

// Presses that could not be made are told at the end of their series, in
// exposures, with why, whether or not the end is announced; the next series
// starts afresh.
TEST(Form1Series, PressesThatCouldNotBeMadeAreToldAtItsEnd) {
  const struct {
    bool popups, mirror;
    const char* count;
    int pulledDuringSleep; // of press, pause, press, pause…
    std::chrono::milliseconds length;
    std::string warning;
  } cases[] = {
      {true, true, "5", 13, std::chrono::milliseconds(15400),
       "Attention : sur les 5 poses, 3 ont été faites et 2 n'ont pas eu lieu. Cause du premier "
       "échec : le port « COM1 » a disparu (câble débranché ?)."},
      {false, false, "3", 4, std::chrono::milliseconds(6000),
       "Attention : sur les 3 poses, 2 ont été faites et une n'a pas eu lieu. Cause : le port « "
       "COM1 » a disparu (câble débranché ?)."},
  };
  for (const auto& c : cases) {
    Form1Rig rig;
    rig.type(Text1, c.count);
    rig.view.setChecked(ChkAffichePoppup, c.popups);
    rig.view.setChecked(ChkMiro, c.mirror);
    pullTheCableDuringSleep(rig, c.pulledDuringSleep);

    rig.form.LancerSerie();

    const Events& events = rig.log.events();
    EXPECT_EQ(rig.sleeper.elapsed, c.length); // the series kept its timing
    const auto warning = std::find(events.begin(), events.end(), box(typeset(c.warning)));
    ASSERT_NE(warning, events.end()) << c.warning;
    const Events after = c.popups ? Events{endNotice, "LabEc 0"} : Events{"LabEc 0"};
    EXPECT_EQ(Events(warning + 1, events.end() - 1), after);
    const std::string all = std::string("progress ") + c.count + "/" + c.count + " #0 !";
    EXPECT_NE(std::find(events.begin(), warning, all), warning); // in the task bar's error state

    rig.ports.existingPorts = {"COM1"}; // plugged in again
    rig.log.clear();
    rig.form.LancerSerie();
    EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const std::string& event) {
      return event.starts_with("box Obturix: Attention");
    })) << "warned again";
  }
}

} // namespace
} // namespace obturix
