#pragma once

#include "journal/journal_reading.h"
#include "terminal/series_finder.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <optional>
#include <string>

namespace obturix {

// Where a running series stands, from its journal as written so far: the
// exposure under way, when the series ends, or when its first press is due
// while it waits for it.
struct SeriesStanding {
  std::int64_t current = 0;
  std::chrono::system_clock::time_point end;
  std::optional<std::chrono::system_clock::time_point> firstPress; // still to come
};
std::optional<SeriesStanding> standingOf(const JournalRecord& record,
                                         std::chrono::system_clock::time_point now);

// What --etat says of a running series: where it runs and whose it is,
// where it stands, its journal (`journals` the folder); `record` nothing
// when its journal could not be read.
std::string statusText(const RunningSeries& series, const std::optional<JournalRecord>& record,
                       const WallClock& clock, const std::string& journals);

} // namespace obturix
