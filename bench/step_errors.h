#pragma once

#include "bare_cycle.h"
#include "pty/open_close_watcher.h"

#include <string>
#include <vector>

namespace obturix::bench {

// How much longer than asked (in ms, negative when shorter) each step of a
// kind came out.
struct StepErrors {
  const char* name;
  long long askedMs;
  std::vector<double> errorsMs;
};

// Pulse, settle, exposure, pause.
using CycleErrors = std::vector<StepErrors>;
CycleErrors emptyCycleErrors(const Steps& steps);

// Adds the steps of consecutive cycles seen as open, close, open, close…
// The pause after the last cycle is not counted (nothing ends it). False
// when the events are not in that order.
bool addSteps(const std::vector<pty::OpenCloseWatcher::Event>& events, CycleErrors& errors);

// Prints the signed errors of the program and, when it was measured, of the
// floor, side by side, with the program's gap to the floor.
void printComparison(const CycleErrors& program, const CycleErrors& floor);

// Reads the steps an outside instrument measured, one a line: "Obturix" or
// "floor", the step ("pulse", "settle", "exposure" or "pause"), the asked and
// the measured length in ms. False when a step is over 20 ms off (a gross
// fault) or a line cannot be read.
bool readMeasuredSteps(const std::string& path, CycleErrors& program, CycleErrors& floor);

} // namespace obturix::bench
