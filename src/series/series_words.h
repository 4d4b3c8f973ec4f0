#pragma once

#include "exposure/exposure_cycle.h"
#include "exposure/plan.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace obturix {

// Whether some press of a series failed, which the user is then told: an
// exposure missed, cut short by its port or made without its mirror pulse,
// or a pulse whose exposure the series was stopped before.
inline bool anyPressMissed(const PressCount& presses) { return presses.failedPresses > 0; }

// What the user is told then: what became of the `asked` exposures (as the
// journal counts them), and why the first press that failed did.
std::string missedPressesWarning(const PressCount& presses, std::int64_t asked,
                                 const std::string& port);

// What the user is told at once, while the series goes on, of a press that
// failed (exposure `exposure`'s, or its mirror pulse): not made, or cut
// short, and why.
std::string pressFailureNotice(std::int64_t exposure, const PressRecord& press,
                               const std::string& port);

// A length as the night is told: « 1 h 12 min », « 12 min 30 s », « 45 s »;
// « plus d'un siècle ».
std::string lengthInWords(std::chrono::milliseconds length);

// When something will be, as seen `now`: « vers 03:42 », with its date when
// it falls on another day (« le 8 décembre vers 03:42 »).
std::string momentInWords(const LocalTime& now, const LocalTime& then);

// An end as the user is told it, to the nearest minute: the local time half
// a minute after it, whose seconds are not shown.
LocalTime endAsTold(const WallClock& clock, std::chrono::system_clock::time_point end);

// What the counter tells during a series, as its tooltip: the exposure
// under way of how many, how long is left and when the series ends (« Pose 7
// sur 120 — il reste 1 h 12 min, fin vers 03:42 »), with the end's date when
// it falls on another day than `now`; then the exposures lost so far,
// `lostCount` of them, the first ones in `firstLost` (« — 1 pose manquée :
// la 2 »).
std::string progressNote(std::int64_t current, std::int64_t total, std::chrono::milliseconds left,
                         const LocalTime& now, const LocalTime& end, std::int64_t lostCount = 0,
                         const std::vector<std::int64_t>& firstLost = {});

// Before a series longer than the battery is expected to last: how charged
// it is, how long the system says it will last, how long the series is, and
// what to do.
std::string shortBatteryWarning(int percentage, std::chrono::seconds timeLeft,
                                std::chrono::milliseconds seriesLength);

// Told once during a series when the battery runs low.
std::string lowBatteryNotice(int percentage);

// The question asked before a series starts, and its title.
std::string confirmationPrompt(const SeriesParams& params);
inline constexpr const char* confirmationTitle = "Lancer la session de prises de vues ?";

// Asked when the window is closed while the cycles of a series run.
inline constexpr const char* stopQuestion =
    "Une série de poses est en cours.\rArrêter la série et fermer Obturix\u00A0?";

// Shown when a series ends.
inline constexpr const char* endNotice = "La série de pauses est terminée ";

} // namespace obturix
