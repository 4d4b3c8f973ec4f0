#include "terminal/serie_rig.h"

#include "text/french.h"

#include <gtest/gtest.h>

namespace obturix::testing {
namespace {

using std::chrono::milliseconds;
using Args = std::vector<std::string>;

// The exposures a journal's press lines name, in order (pulses left out).
std::vector<std::string> exposuresIn(const std::string& journal) {
  std::vector<std::string> numbers;
  std::size_t line = 0;
  while ((line = journal.find(";pose;", line)) != std::string::npos) {
    const std::size_t start = journal.rfind('\n', line) + 1;
    numbers.push_back(journal.substr(start, line - start));
    ++line;
  }
  return numbers;
}

// Whether `text` has these words, typeset.
bool says(const std::string& text, const std::string& words) {
  return text.find(typeset(words)) != std::string::npos;
}

const Args threeOfTwoSeconds{"-n", "3", "-p", "2", "-i", "1", "-m", "--attente=1"};

TEST(SerieCommand, TakesUpAStoppedSeriesWithExactlyTheExposuresItDidNotMakeNumberedOn) {
  SerieRig rig;
  rig.stopAt(milliseconds(6500)); // in exposure 2 (5.16 s to 7.16 s)
  EXPECT_EQ(rig.run(threeOfTwoSeconds), SerieExit::Stopped);
  EXPECT_TRUE(says(rig.console.written, "Poses non faites (série arrêtée) : 1"));

  EXPECT_EQ(rig.run({"--reprendre", "--nuit"}), SerieExit::AllMade);
  const auto journals = rig.journalTexts();
  ASSERT_EQ(journals.size(), 2u);
  EXPECT_EQ(exposuresIn(journals[1]), (std::vector<std::string>{"2", "3"}));
  EXPECT_TRUE(says(journals[1], "Reprend;" + rig.journals->names().front()));
  EXPECT_TRUE(says(journals[1], "Attente après le miroir (s);1,000"));
  EXPECT_TRUE(says(rig.console.written, "Pose 2 sur 3"));
  EXPECT_FALSE(says(rig.console.written, "Pose 1 sur 3"));

  EXPECT_EQ(rig.run({"--reprendre"}), SerieExit::Refused);
  EXPECT_TRUE(says(rig.console.errors, "Rien à reprendre"));
  EXPECT_EQ(rig.ports.presses.size(), 4u + 4u); // pulse, exposure, pulse, exposure cut; then 2 × 2
}

TEST(SerieCommand, RefusesBeforeClaimingOrPressingAnything) {
  struct Case {
    Args arguments;
    std::string said;
  };
  const Case cases[] = {
      {{"--nombre=trois"}, "donné par --nombre"},
      {{"-n", "2", "--port=COM9"}, "COM9"},
      {{"-n", "2", "--dans=3 jours"}, "3 jours"},
      {{"-n", "2", "--dans=5m3min"}, "5m3min"}, // one unit written twice
      {{"-n", "2", "--debut=25:00"}, "25:00"},
      {{"--reprendre"}, "Rien à reprendre : aucun journal"},
      {{"--obturateur"}, "obturix-serie --help"},
      {{"-i"}, "-i"},
      {{"--etat", "-n", "3"}, "--etat"},
      {{"--dans=1h", "--debut=22:00"}, "--debut"},
      {{"-z"}, "-z"},
  };
  for (const Case& each : cases) {
    SerieRig rig;
    EXPECT_EQ(rig.run(each.arguments), SerieExit::Refused) << each.arguments.front();
    EXPECT_TRUE(says(rig.console.errors, each.said)) << rig.console.errors;
    EXPECT_TRUE(rig.log.events().empty()) << each.arguments.front();
    EXPECT_TRUE(rig.journals->files.empty());
  }
  SerieRig claimed;
  claimed.ports.claimed.insert("COM1");
  EXPECT_EQ(claimed.run({"-n", "2"}), SerieExit::Refused);
  EXPECT_TRUE(claimed.ports.presses.empty());
}

TEST(SerieCommand, TakesTheWindowsValuesAndKeepsItsOwnOnlyWhenAsked) {
  SerieRig rig;
  const auto pressesOf = [&rig](const Args& arguments) {
    const std::size_t before = rig.ports.presses.size();
    EXPECT_EQ(rig.run(arguments), SerieExit::AllMade);
    return rig.ports.presses.size() - before;
  };
  EXPECT_EQ(pressesOf({"-n", "2", "-p", "1,5", "-i", "0.5", "--sans-miroir", "--enregistrer"}), 2u);
  EXPECT_EQ(rig.ports.presses.back().released - rig.ports.presses.back().pressed,
            milliseconds(1500));
  EXPECT_EQ(pressesOf({"-n", "4"}), 4u);
  EXPECT_EQ(pressesOf({}), 2u);
  EXPECT_TRUE(says(rig.console.written, "2 poses de 1,5 s, intervalle 0,5 s"))
      << rig.console.written;
}

TEST(SerieCommand, StartsLaterWithTheCameraHeldForItAndAStopThenPressesNothing) {
  struct Case {
    Args when;
    std::optional<milliseconds> stop;
    SerieExit exit;
    std::optional<milliseconds> firstPress;
  };
  const Case cases[] = {
      {{"--dans=90s"}, std::nullopt, SerieExit::AllMade, milliseconds(90'000)},
      {{"--dans", "1h30"}, milliseconds(60'000), SerieExit::Stopped, std::nullopt},
      {{"--debut=22h15"}, std::nullopt, SerieExit::AllMade, milliseconds(75 * 60'000)},
      {{"--debut=20:30"},
       std::nullopt,
       SerieExit::AllMade,
       milliseconds(23 * 3'600'000 + 1'800'000)},
  };
  for (const Case& each : cases) {
    SerieRig rig;
    if (each.stop)
      rig.stopAt(*each.stop);
    Args arguments{"-n", "2", "-p", "1", "-i", "1", "--sans-miroir"};
    arguments.insert(arguments.end(), each.when.begin(), each.when.end());
    EXPECT_EQ(rig.run(arguments), each.exit) << each.when.front();
    EXPECT_EQ(rig.log.events().front(), "awake");
    if (each.firstPress) {
      ASSERT_EQ(rig.ports.presses.size(), 2u);
      EXPECT_EQ(rig.ports.presses.front().pressed, *each.firstPress);
    } else {
      EXPECT_TRUE(rig.ports.presses.empty());
      EXPECT_TRUE(says(rig.journalTexts().front(), "arrêtée par l'utilisateur"));
    }
  }
}

TEST(SerieCommand, TellsALostPressAtOnceAndEndsWithOne) {
  // The mirror's first pulse refused, the port back before its exposure:
  // that exposure is made, but without the mirror locked.
  SerieRig pulse;
  pulse.ports.refusedOpens["COM1"] = PortFailure::Cause::Busy;
  pulse.sleeper.at[milliseconds(500)] = [&pulse] { pulse.ports.refusedOpens.clear(); };
  EXPECT_EQ(pulse.run({"-n", "2", "-p", "2", "-i", "1", "-m"}), SerieExit::SomeLost);
  EXPECT_TRUE(says(pulse.console.written, "Poses faites sans verrouillage du miroir : 1"))
      << pulse.console.written;

  SerieRig rig;
  rig.sleeper.at[milliseconds(1500)] = [&rig] { rig.ports.existingPorts.clear(); };
  EXPECT_EQ(rig.run({"-n", "2", "-p", "2", "-i", "1", "--sans-miroir"}), SerieExit::SomeLost);
  EXPECT_TRUE(says(rig.console.written, "La pose 1 a été coupée")) << rig.console.written;
  EXPECT_TRUE(says(rig.console.written, "Poses coupées : 1"));
  EXPECT_EQ(rig.run({"--reprendre"}), SerieExit::Refused); // it went to its end
  EXPECT_TRUE(says(rig.console.errors, "est allée à son terme"));
}

TEST(SerieCommand, FindsTellsAndStopsTheSeriesRunning) {
  SerieRig rig;
  ASSERT_EQ(rig.run(threeOfTwoSeconds), SerieExit::AllMade);
  // The journal as it stood during exposure 2's pulse.
  auto& [name, text] = *rig.journals->files.begin();
  text.erase(text.find("\n2;pose;") + 1);
  rig.sleeper.elapsed = milliseconds(4200);

  EXPECT_EQ(rig.run({"--etat"}), SerieExit::SomeLost);
  EXPECT_TRUE(says(rig.console.written, "Aucune série en cours."));

  rig.finder.series = {{42, "obturix-serie", "/dev/ttyUSB0", name}};
  EXPECT_EQ(rig.run({"--etat"}), SerieExit::AllMade);
  EXPECT_TRUE(says(rig.console.written, "Pose 2 sur 3 — il reste 8 s, fin vers 21:00"))
      << rig.console.written;
  EXPECT_TRUE(says(rig.console.written, "processus 42"));
  EXPECT_TRUE(says(rig.console.written, "/state/journal/" + name));

  rig.finder.series.push_back({43, "obturix", "/dev/ttyUSB1", ""});
  EXPECT_EQ(rig.run({"--arreter"}), SerieExit::Refused);
  EXPECT_TRUE(says(rig.console.errors, "--port"));
  EXPECT_TRUE(rig.finder.stopped.empty());
  EXPECT_EQ(rig.run({"--arreter", "--port=COM1"}), SerieExit::AllMade);
  EXPECT_EQ(rig.finder.stopped, std::vector<long>{42});
  EXPECT_TRUE(says(rig.console.written, "est arrêtée"));
}

} // namespace
} // namespace obturix::testing
