#pragma once

#include "timing/wall_clock.h"

#include <chrono>
#include <optional>
#include <string>
#include <variant>

namespace obturix {

// A delay as typed after --dans: « 90s », « 45min », « 1h30 », « 2 h 5 min »
// (a number alone is seconds, after hours minutes); at most a week. Nothing
// when it is no such delay.
std::optional<std::chrono::seconds> readDelay(const std::string& typed);

// How long until the first press of a series started now: `delay` as
// readDelay reads it, or `at`, a time of day (« 22:15 », « 22h15 », « 22h »)
// today, or tomorrow when it has passed. Why not, in French.
std::variant<std::chrono::milliseconds, std::string>
timeToStart(const std::optional<std::string>& delay, const std::optional<std::string>& at,
            const WallClock& clock);

} // namespace obturix
