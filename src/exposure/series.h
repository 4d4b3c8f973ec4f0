#pragma once

#include "exposure/answer_codes.h"
#include "exposure/exposure_cycle.h"
#include "serial/port_check.h"

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
// (A series takes no more than a signed 32-bit count: seriesRefusal.)
std::optional<std::int64_t> cycleCount(const std::string& count);

// Why a series must not start, in French, or nothing when it may: a count
// that is not a number or is over 2 147 483 647, or a duration it would use
// that is not a number of seconds a sleep can take. A count that gives no
// cycle uses no duration.
std::optional<std::string> seriesRefusal(const SeriesParams& params);

// Why a series on a port that does not exist must not start, with the ports
// that do.
std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available);

// Why a series on a port the user may not open must not start, and how to be
// allowed: join `group` (none when joining a group would not help).
std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account);

// Why a series on a port another series is using must not start.
std::string portInUseRefusal(const std::string& port, const std::optional<PortHolder>& holder);

// Before a series on a port that nothing could claim for it.
std::string unclaimedPortWarning(const std::string& port);

// Why a series on a path that is no serial port must not start.
std::string notSerialPortRefusal(const std::string& port);

// What the user is told when some presses of a series could not be made,
// with the reason the first one could not.
std::string missedPressesWarning(const PressCount& presses, const std::string& port);

// What the user is told when the parameters of a series could not all be
// saved: why (a registry status, success when none), and the fields whose
// texts the settings cannot hold as typed (their older values are kept).
std::string unsavedSettingsWarning(long failure, const std::vector<std::string>& unkeptFields);

// The question asked before a series starts, and its title.
std::string confirmationPrompt(const SeriesParams& params);
inline constexpr const char* confirmationTitle = "Lancer la session de prises de vues ?";

// Asked when the window is closed while the cycles of a series run.
inline constexpr const char* stopQuestion =
    "Une série de poses est en cours.\rArrêter la série et fermer Obturix\u00A0?";

// Shown when a series ends.
inline constexpr const char* endNotice = "La série de pauses est terminée ";

} // namespace obturix
