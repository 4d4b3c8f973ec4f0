#pragma once

#include "exposure/exposure_cycle.h"
#include "exposure/plan.h"
#include "journal/journal_writer.h"
#include "timing/wall_clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// The journal's words that are read back (--reprendre, --etat): its
// opening's labels, its kinds of press and results, its closing.
namespace journal_words {
inline constexpr const char* title = "journal d'une série de poses";
inline constexpr const char* start = "Début";
inline constexpr const char* count = "Nombre de poses";
inline constexpr const char* exposure = "Temps de pose (s)";
inline constexpr const char* interval = "Intervalle (s)";
inline constexpr const char* mirror = "Relever le miroir";
inline constexpr const char* pulse = "Impulsion du miroir (s)";
inline constexpr const char* settle = "Attente après le miroir (s)";
inline constexpr const char* port = "Port";
inline constexpr const char* takesUp = "Reprend";
inline constexpr const char* first = "Première pose";
inline constexpr const char* firstPressDue = "Premier appui prévu";
inline constexpr const char* end = "Fin";
inline constexpr const char* pulseKind = "miroir";
inline constexpr const char* made = "faite";
inline constexpr const char* missed = "manquée";
inline constexpr const char* cut = "coupée";
inline constexpr const char* yes = "oui";
} // namespace journal_words

// A moment of the journal, in the user's time and in UTC, to the millisecond.
struct JournalInstant {
  LocalTime local;
  LocalTime utc;
  int millisecond = 0;
};

// How a series ended.
enum class SeriesEnd { Finished, StoppedByUser, StoppedBySystem };

// A journal is a CSV file as French spreadsheets read it: UTF-8 with its byte
// order mark, fields separated by ';', decimal commas, lines ending in CR LF.
// Its opening block names the series' parameters and its start, then comes
// the header of the presses' table, a line per press, and a closing block:
// how and when the series ended, and its counts.

// The name of the journal of a series begun at `start`: "2026-12-07_21-04-12".
std::string journalStem(const LocalTime& start);

// A series that takes up another names its journal and its first
// exposure; one started later, when its first press is due.
std::string journalOpening(const SeriesPlan& plan, const JournalInstant& start,
                           const std::optional<JournalInstant>& firstPress = std::nullopt);

// The line of a press of exposure `exposure`: an unmade press has no release.
std::string journalPressLine(std::int64_t exposure, const PressRecord& press,
                             const JournalInstant& pressed, const JournalInstant& released,
                             const std::string& port);

// Its totals add up to the `asked` exposures: made whole, cut short (the
// port gone, or a stop: each line says which), missed, and not started
// because the series was stopped.
std::string journalClosing(SeriesEnd how, const JournalInstant& at, const PressCount& presses,
                           std::int64_t asked, bool mirror);

// How a series ended, as its journal says it: « terminée »…
const char* seriesEndWords(SeriesEnd how);

// The totals of a series' end, as its journal counts them (the mirror's
// only when it was raised).
struct SeriesTotal {
  const char* label;
  std::int64_t count;
};
std::vector<SeriesTotal> seriesTotals(const PressCount& presses, std::int64_t asked, bool mirror);

// What the user is told at the end of a series whose journal was not
// written whole: where, from where on, and why.
std::string unwrittenJournalWarning(const JournalOutcome& outcome);

} // namespace obturix
