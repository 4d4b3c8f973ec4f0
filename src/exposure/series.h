#pragma once

#include "exposure/answer_codes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// The parameters of a series as typed, captured once when it starts.
struct SeriesParams {
  std::string count;
  std::string exposure;
  std::string interval;
  int mirror = answerNo; // answerYes: raise the mirror before each exposure
  std::string port;
  std::string pulse;
  std::string settle;
};

// How many cycles a count gives: every whole number from 1 up to it, so
// "2.5" gives 2 and "0" or "-1" none. Nothing when the count is not a number.
std::optional<std::int64_t> cycleCount(const std::string& count);

// Why a series must not start, in French, or nothing when it may: a count
// that is not a number, or a duration it would use that is not a number of
// seconds a sleep can take. A count that gives no cycle uses no duration.
std::optional<std::string> seriesRefusal(const SeriesParams& params);

// Why a series on a port that does not exist must not start, with the ports
// that do.
std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available);

// Why a series on a port the user may not open must not start, and how to be
// allowed: join `group` (none when joining a group would not help).
std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account);

// Why a series on a port another series is using must not start.
std::string portInUseRefusal(const std::string& port);

// What the user is told when some presses of a series could not be made.
std::string missedPressesWarning(std::int64_t failed, std::int64_t asked, const std::string& port);

// The question asked before a series starts, and its title.
std::string confirmationPrompt(const SeriesParams& params);
inline constexpr const char* confirmationTitle = "Lancer la session de prises de vues ?";

// Shown when a series ends.
inline constexpr const char* endNotice = "La série de pauses est terminée ";

} // namespace obturix
