#pragma once

#include "exposure/exposure_cycle.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// What a series has lost so far, and when a loss is worth a notice: when
// presses start failing after one was made (each new loss, even of the same
// cause), and again while they keep failing when the cause changes; never
// twice within a minute of the presses' clock, whatever the causes alternate
// between, so that an adapter that comes and goes cannot flood the desktop.
class PressLosses {
public:
  // A press is over: whether to tell it now.
  bool tellNow(const PressRecord& press);
  // The exposures not made (missed, or cut short by their port): how many,
  // and the first few.
  void exposureLost(std::int64_t exposure);
  std::int64_t lostCount() const { return lostCount_; }
  const std::vector<std::int64_t>& firstLost() const { return firstLost_; }
  static constexpr std::size_t firstFew = 5;

private:
  bool failing_ = false;
  bool due_ = false; // a loss or a new cause not yet told
  std::optional<PortFailure> lastTold_;
  std::optional<std::chrono::nanoseconds> lastToldAt_;
  std::int64_t lostCount_ = 0;
  std::int64_t lastLost_ = 0;
  std::vector<std::int64_t> firstLost_;
};

} // namespace obturix
