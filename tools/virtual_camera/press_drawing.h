#pragma once

#include "press_recorder.h"

#include <string>
#include <vector>

namespace obturix::camera {

// The presses a camera saw, drawn as an SVG time line: one row per press,
// its bar placed and sized to scale from the first press's start, its
// length and the pause before it written beside it, the way the camera
// prints them. A missed press shows as a longer pause, a late one as a bar
// out of step. Black on white, readable once printed.
std::string drawPresses(const std::vector<Press>& presses);

} // namespace obturix::camera
