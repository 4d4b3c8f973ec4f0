#include "power/power_source.h"

#include "threads/repeating.h"

namespace obturix {

std::optional<PowerState> sensible(const std::optional<PowerState>& answer) {
  constexpr std::chrono::hours year{24 * 366};
  if (!answer || answer->percentage < -1 || answer->percentage > 100 ||
      (answer->timeLeft && (answer->timeLeft->count() < 0 || *answer->timeLeft > year)))
    return std::nullopt;
  return answer;
}

namespace {

// The latest answer looked at every two seconds.
class PollingPowerWatch final : public PowerWatch {
public:
  PollingPowerWatch(PowerSource& source, std::function<void(const PowerState&)> changed)
      : repeating_(std::chrono::seconds(2), [this, &source, changed = std::move(changed)] {
          const auto state = source.latest();
          if (state && state != last_)
            changed(*state);
          last_ = state;
        }) {}

private:
  std::optional<PowerState> last_; // the repeating thread's alone
  Repeating repeating_;
};

} // namespace

std::unique_ptr<PowerWatch> PowerSource::watch(std::function<void(const PowerState&)> changed) {
  return std::make_unique<PollingPowerWatch>(*this, std::move(changed));
}

} // namespace obturix
