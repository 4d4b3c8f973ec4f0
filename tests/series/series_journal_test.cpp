#include "series/series_run_rig.h"

#include <gtest/gtest.h>

#include <sstream>

namespace obturix {
namespace {

using Lines = std::vector<std::string>;
using testing::SeriesRunRig;

// A journal's lines, their CR LF ends taken off.
Lines linesOf(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(line.ends_with('\r')) << line;
    lines.push_back(line.substr(0, line.size() - 1));
  }
  return lines;
}

// The one journal of a rig's series.
std::string journalOf(const SeriesRunRig& rig) {
  EXPECT_EQ(rig.journals->files.size(), 1u);
  return rig.journals->files.empty() ? "" : rig.journals->files.begin()->second;
}

const std::string header = "Pose;Appui;Appuyé (heure locale);Relâché (heure locale);Appuyé "
                           "(UTC);Relâché (UTC);Durée demandée (ms);Durée mesurée (ms);Résultat;"
                           "Cause";

// A press of 2026-12-07, from 21:00 + `from` to 21:00 + `to` ("00:01,080").
std::string pressLine(const std::string& head, const std::string& from, const std::string& to,
                      const std::string& tail) {
  const std::string day = "2026-12-07 21:", utc = "2026-12-07T21:";
  auto iso = [](std::string t) { return t.replace(5, 1, ".") + "Z"; };
  return head + ";" + day + from + ";" + day + to + ";" + utc + iso(from) + ";" + utc + iso(to) +
         ";" + tail;
}

// A whole journal, byte for byte: the series' parameters and start, a line
// per press timed on the presses' clock, how and when it ended.
TEST(SeriesJournal, KeepsTheSeriesAndEveryPressAsMeasured) {
  SeriesRunRig rig;
  rig.params.count = "2";
  rig.params.mirror = answerYes;
  // The wall clock set an hour on during the night: nothing in the journal shows it.
  rig.sleeper.at[std::chrono::milliseconds(3500)] = [&] {
    rig.wallClock.start += std::chrono::hours(1);
  };
  rig.run();
  EXPECT_EQ(rig.journals->files.begin()->first, "2026-12-07_21-00-00.csv");
  const std::string journal = journalOf(rig);
  ASSERT_TRUE(journal.starts_with("\xEF\xBB\xBF")); // the byte order mark spreadsheets look for
  EXPECT_EQ(linesOf(journal.substr(3)),
            (Lines{"Obturix;journal d'une série de poses",
                   "Début;2026-12-07 21:00:00,000;2026-12-07T21:00:00.000Z",
                   "Nombre de poses;2",
                   "Temps de pose (s);1,000",
                   "Intervalle (s);1,000",
                   "Relever le miroir;oui",
                   "Impulsion du miroir (s);0,080",
                   "Attente après le miroir (s);1,000",
                   "Port;COM1",
                   "",
                   header,
                   pressLine("1;miroir", "00:00,000", "00:00,080", "80;80,000;faite;"),
                   pressLine("1;pose", "00:01,080", "00:02,080", "1000;1000,000;faite;"),
                   pressLine("2;miroir", "00:03,080", "00:03,160", "80;80,000;faite;"),
                   pressLine("2;pose", "00:04,160", "00:05,160", "1000;1000,000;faite;"),
                   "",
                   "Fin;2026-12-07 21:00:06,160;2026-12-07T21:00:06.160Z;terminée",
                   "Poses faites;2",
                   "Poses coupées;0",
                   "Poses manquées;0",
                   "Poses non faites (série arrêtée);0",
                   "Poses faites sans verrouillage du miroir;0"}));
}

// The lines that differ from one series to another: a press that could not
// be made, one cut short by its port or by a stop, how the series ended,
// and its totals, which add up to the exposures asked, as the end's box
// counts them; a port's name that a spreadsheet would split or take for a
// formula.
TEST(SeriesJournal, TellsWhatBecameOfEveryExposureAndHowTheSeriesEnded) {
  using namespace std::chrono_literals;
  const std::string odd = "=A;\"B\"";
  const std::string gone = " a disparu (câble débranché ?)";
  const auto totals = [](int made, int cut, int missed, int notStarted) {
    return Lines{"Poses faites;" + std::to_string(made), "Poses coupées;" + std::to_string(cut),
                 "Poses manquées;" + std::to_string(missed),
                 "Poses non faites (série arrêtée);" + std::to_string(notStarted)};
  };
  const struct {
    const char* name;
    std::string port = "COM1";
    std::chrono::milliseconds cableAt = 0ms, stopAt = 0ms;
    bool byUser = true;
    Lines tail; // from the second press on
    std::string box = {};
  } cases[] = {
      {.name = "a pulled cable",
       .port = odd,
       .cableAt = 1500ms,
       .tail = {"2;pose;2026-12-07 21:00:02,000;;2026-12-07T21:00:02.000Z;;1000;;manquée;" +
                    typeset("\"le port « =A;\"\"B\"\" »" + gone + "\""),
                "3;pose;2026-12-07 21:00:04,000;;2026-12-07T21:00:04.000Z;;1000;;manquée;" +
                    typeset("\"le port « =A;\"\"B\"\" »" + gone + "\""),
                "", "Fin;2026-12-07 21:00:06,000;2026-12-07T21:00:06.000Z;terminée"},
       .box = "Attention : sur les 3 poses, une a été faite et 2 n'ont pas eu lieu. Cause du "
              "premier échec : le port « " +
              odd + " »" + gone + "."},
      {.name = "cut short by its port",
       .cableAt = 2500ms,
       .tail = {pressLine("2;pose", "00:02,000", "00:02,500",
                          "1000;500,000;coupée;" +
                              typeset("le port « COM1 » a disparu pendant la pose (câble "
                                      "débranché ?)")),
                "3;pose;2026-12-07 21:00:03,500;;2026-12-07T21:00:03.500Z;;1000;;manquée;" +
                    typeset("le port « COM1 »" + gone),
                "", "Fin;2026-12-07 21:00:05,500;2026-12-07T21:00:05.500Z;terminée"},
       .box = "Attention : sur les 3 poses, une a été faite, une a été coupée avant la fin et une "
              "n'a pas eu lieu. Cause du premier échec : le port « COM1 » a disparu pendant la "
              "pose (câble débranché ?)."},
      {.name = "stopped by the user during the second exposure",
       .stopAt = 2500ms,
       .tail = {pressLine("2;pose", "00:02,000", "00:02,500",
                          "1000;500,000;interrompue par l'arrêt;"),
                "",
                "Fin;2026-12-07 21:00:02,500;2026-12-07T21:00:02.500Z;arrêtée par l'utilisateur"}},
      {.name = "stopped by the system after the first",
       .stopAt = 1500ms,
       .byUser = false,
       .tail = {"", "Fin;2026-12-07 21:00:01,500;2026-12-07T21:00:01.500Z;arrêtée par le système"}},
  };
  const Lines endTotals[] = {totals(1, 0, 2, 0), totals(1, 1, 1, 0), totals(1, 1, 0, 1),
                             totals(1, 0, 0, 2)};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SeriesRunRig rig;
    rig.params.port = c.port;
    rig.ports.existingPorts = {c.port};
    if (c.cableAt > 0ms)
      rig.sleeper.at[c.cableAt] = [&] { rig.ports.existingPorts.clear(); };
    if (c.stopAt > 0ms)
      rig.sleeper.at[c.stopAt] = [&] {
        rig.running->stop(c.byUser ? SeriesEnd::StoppedByUser : SeriesEnd::StoppedBySystem);
      };
    const SeriesOutcome outcome = rig.run();
    const Lines lines = linesOf(journalOf(rig).substr(3));
    ASSERT_GT(lines.size(), 12u) << c.name;
    EXPECT_EQ(lines[8], "Port;" + (c.port == odd ? "\"'=A;\"\"B\"\"\"" : c.port)) << c.name;
    EXPECT_EQ(lines[11], pressLine("1;pose", "00:00,000", "00:01,000", "1000;1000,000;faite;"))
        << c.name;
    Lines tail = c.tail;
    tail.insert(tail.end(), endTotals[i].begin(), endTotals[i].end());
    EXPECT_EQ(Lines(lines.begin() + 12, lines.end()), tail) << c.name;
    EXPECT_EQ(outcome.lossWarning, c.box.empty() ? std::nullopt : std::optional(typeset(c.box)))
        << c.name;
  }
}

} // namespace
} // namespace obturix
