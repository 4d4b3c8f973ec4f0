#include "power/bus_posix.h"
#include "power/power_source.h"
#include "threads/latest_worker.h"

#include <mutex>

namespace obturix {

namespace {

constexpr const char* upower = "org.freedesktop.UPower";
constexpr const char* displayDevice = "/org/freedesktop/UPower/devices/DisplayDevice";
constexpr const char* device = "org.freedesktop.UPower.Device";

// UPower's answer: the battery it shows, or nothing without one.
std::optional<PowerState> askUPower(const Bus& system) {
  if (!system)
    return std::nullopt;
  int present = 0, onBattery = 0;
  double percentage = -1;
  std::int64_t timeToEmpty = 0;
  sd_bus* bus = system.get();
  if (sd_bus_get_property_trivial(bus, upower, displayDevice, device, "IsPresent", nullptr, 'b',
                                  &present) < 0 ||
      !present ||
      sd_bus_get_property_trivial(bus, upower, "/org/freedesktop/UPower", upower, "OnBattery",
                                  nullptr, 'b', &onBattery) < 0 ||
      sd_bus_get_property_trivial(bus, upower, displayDevice, device, "Percentage", nullptr, 'd',
                                  &percentage) < 0)
    return std::nullopt;
  sd_bus_get_property_trivial(bus, upower, displayDevice, device, "TimeToEmpty", nullptr, 'x',
                              &timeToEmpty);
  if (!(percentage >= 0 && percentage <= 100)) // NaN included
    return std::nullopt;
  PowerState state{onBattery != 0, static_cast<int>(percentage + 0.5), std::nullopt};
  if (timeToEmpty != 0) // 0: no estimate
    state.timeLeft = std::chrono::seconds(timeToEmpty);
  return sensible(state);
}

// The latest answer, and when it came.
struct Answer {
  std::mutex mutex;
  std::optional<PowerState> state;
  std::chrono::steady_clock::time_point at;
};

// Asked on a worker of its own: a system bus may be slow or hung, and
// neither the window nor the series waits for it more than a second.
class UPowerSource final : public PowerSource {
public:
  // An answer of the last minute will do (the power changes slowly), so
  // that a series need not wait for a bus that hangs.
  std::optional<PowerState> now() override {
    bool recent;
    {
      const std::lock_guard lock(answer_->mutex);
      recent = asker_.answered() &&
               std::chrono::steady_clock::now() - answer_->at < std::chrono::minutes(1);
    }
    if (recent)
      return latest();
    if (!asker_.waitFor(asker_.ask(), std::chrono::seconds(1)))
      return std::nullopt;
    const std::lock_guard lock(answer_->mutex);
    return answer_->state;
  }

  std::optional<PowerState> latest() override {
    asker_.askUnlessWaiting();
    const std::lock_guard lock(answer_->mutex);
    return answer_->state;
  }

private:
  std::shared_ptr<Answer> answer_ = std::make_shared<Answer>();
  LatestWorker asker_{
      [answer = answer_, system = std::make_shared<Bus>(nullptr, sd_bus_close_unref)] {
        if (!*system)
          *system = openBus(sd_bus_open_system);
        const auto state = askUPower(*system);
        const std::lock_guard lock(answer->mutex);
        answer->state = state;
        answer->at = std::chrono::steady_clock::now();
      }};
};

} // namespace

std::unique_ptr<PowerSource> makeSystemPowerSource() { return std::make_unique<UPowerSource>(); }

} // namespace obturix
