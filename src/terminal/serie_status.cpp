#include "terminal/serie_status.h"

#include "series/series_plan.h"
#include "series/series_words.h"
#include "text/french.h"
#include "text/quoting.h"
#include "text/utf8.h"

#include <algorithm>

namespace obturix {

std::optional<SeriesStanding> standingOf(const JournalRecord& record,
                                         std::chrono::system_clock::time_point now) {
  using std::chrono::system_clock;
  const auto read = readPlan(record.typed);
  const auto* plan = std::get_if<SeriesPlan>(&read);
  if (!plan)
    return std::nullopt;
  const auto later = [](std::chrono::milliseconds length) {
    return std::chrono::duration_cast<system_clock::duration>(length);
  };
  if (!record.lastAt) { // no press yet
    const auto due = record.firstPressDue.value_or(record.started);
    return SeriesStanding{record.first, due + later(plan->left(record.first)),
                          due > now ? std::optional(due) : std::nullopt};
  }
  const std::int64_t last = record.lastExposure;
  // A pulse is followed by its wait and its exposure; every exposure by its interval.
  const auto restOfCycle =
      record.lastWasPulse ? plan->settle + plan->exposure + plan->interval : plan->interval;
  return SeriesStanding{record.lastWasPulse ? last : std::min(last + 1, record.cycles),
                        *record.lastAt + later(restOfCycle + plan->left(last + 1)), std::nullopt};
}

std::string statusText(const RunningSeries& series, const std::optional<JournalRecord>& record,
                       const WallClock& clock, const std::string& journals) {
  const std::string port = record ? record->typed.port : series.device;
  std::string text = "Série en cours sur le port " + shownBare(port) + " (" + series.program +
                     ", processus " + std::to_string(series.pid) + ")";
  const auto now = clock.now();
  const auto standing = record ? standingOf(*record, now) : std::nullopt;
  if (!standing)
    return typeset(text + " ; son journal n'a pas pu être lu.\n");
  const LocalTime today = clock.local(now);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::max(standing->end - now, std::chrono::system_clock::duration(0)));
  const LocalTime end = endAsTold(clock, now + left);
  text += " :\n";
  if (const auto first = standing->firstPress)
    text += "Première pose dans " +
            lengthInWords(std::chrono::ceil<std::chrono::seconds>(*first - now)) + ", " +
            momentInWords(today, clock.local(*first)) + " ; " +
            frenchNumber(record->cycles - record->first + 1) + " poses, fin " +
            momentInWords(today, end);
  else
    text += progressNote(standing->current, record->cycles, left, today, end, record->lost,
                         record->firstLost);
  text += "\nJournal : " + printableText(journals + series.journal) + "\n";
  return typeset(text);
}

} // namespace obturix
