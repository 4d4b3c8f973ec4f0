#pragma once

#include "exposure/exposure_cycle.h"
#include "exposure/plan.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace obturix {

// How the terminal command ends, for the shell and the scripts around it.
enum class SerieExit : int {
  AllMade = 0,  // every exposure made (or nothing to do)
  SomeLost = 1, // some exposure missed or cut short
  Refused = 2,  // refused before the first press: an option, a value, the port
  Stopped = 3,  // stopped (Ctrl-C, SIGTERM, --arreter)
};

// « obturix-serie --help »: `journals` is where the journals are kept.
std::string serieHelp(const std::string& journals);

// Before the first press, what the series will do and when it ends: « 120
// poses de 240 s, intervalle 5 s, miroir relevé (0,08 s puis 2 s), port
// /dev/ttyUSB0 : 8 h 14 min, fin vers 04:32 ». `now` and `end` as the user's
// clock shows them; `firstPress` when it starts later.
std::string planLine(const SeriesPlan& plan, const LocalTime& now, const LocalTime& end,
                     const std::optional<LocalTime>& firstPress);

// A length in seconds as the user types it: « 240 s », « 0,08 s ».
std::string secondsInWords(std::chrono::milliseconds length);

// The totals of the end, a line each (« Poses faites : 118 »), as the
// journal counts them.
std::string totalsText(const PressCount& presses, std::int64_t asked, bool mirror);

// A text of the series' messages as lines of a terminal (the window's line
// breaks are carriage returns).
std::string asLines(std::string text);

// A line cut to fit `columns` (none: 0), its end shown cut by « … ».
std::string fitted(const std::string& line, int columns);

} // namespace obturix
