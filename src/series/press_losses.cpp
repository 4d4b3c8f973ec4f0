#include "series/press_losses.h"

#include <utility>

namespace obturix {

namespace {

constexpr std::chrono::minutes leastBetweenNotices{1};

bool sameCause(const PortFailure& a, const PortFailure& b) {
  return a.cause == b.cause && a.systemMessage == b.systemMessage;
}

} // namespace

bool PressLosses::tellNow(const PressRecord& press) {
  if (press.result == PressResult::Made) {
    failing_ = false;
    due_ = false; // over: the tooltip and the end count it
    return false;
  }
  if (!press.failed())
    return false;
  if (!failing_ || !lastTold_ || !sameCause(*lastTold_, press.failure))
    due_ = true;
  failing_ = true;
  if (!due_ || (lastToldAt_ && press.pressed - *lastToldAt_ < leastBetweenNotices))
    return false;
  due_ = false;
  lastTold_ = press.failure;
  lastToldAt_ = press.pressed;
  return true;
}

void PressLosses::exposureLost(std::int64_t exposure) {
  if (std::exchange(lastLost_, exposure) == exposure)
    return;
  ++lostCount_;
  if (firstLost_.size() < firstFew)
    firstLost_.push_back(exposure);
}

} // namespace obturix
