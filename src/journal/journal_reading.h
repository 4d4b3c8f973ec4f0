#pragma once

#include "exposure/plan.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// A journal read back: the series it was written for (its values as the
// journal gives them, seconds with a decimal comma, which the series reads
// as typed), and how far that series went.
struct JournalRecord {
  SeriesParams typed;
  std::int64_t cycles = 0;
  std::int64_t first = 1; // above 1 when it took up an earlier series
  std::chrono::system_clock::time_point started{};
  std::optional<std::chrono::system_clock::time_point> firstPressDue;
  // Its exposures made whole, and those missed or cut short by the port.
  std::int64_t made = 0;
  std::int64_t lost = 0;
  std::vector<std::int64_t> firstLost; // the first five
  // Its last line: the exposure, whether it was the mirror's pulse, and
  // when that press was let go (or found out missed).
  std::int64_t lastExposure = 0;
  bool lastWasPulse = false;
  std::optional<std::chrono::system_clock::time_point> lastAt;
  // How it ended, as its closing says (« terminée »…); nothing when it has
  // none (still running, or killed).
  std::optional<std::string> ended;
  bool finished() const;
  // The exposures of the whole series made so far: this journal's and,
  // when it took one up, those made before it.
  std::int64_t madeInAll() const { return first - 1 + made; }
};

// Reads a journal's text; nothing when it is no journal of ours.
std::optional<JournalRecord> readJournal(const std::string& text);

// "2026-12-07T20:04:12.345Z"; nothing when it is not such a moment.
std::optional<std::chrono::system_clock::time_point> readUtcField(const std::string& field);

} // namespace obturix
