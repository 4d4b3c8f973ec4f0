#include "power/bus_posix.h"
#include "power/power_source.h"

#include <condition_variable>
#include <mutex>
#include <thread>

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

// The latest answer, and whether a question is waiting for one.
struct Answers {
  std::mutex mutex;
  std::condition_variable changed;
  std::optional<PowerState> latest;
  std::chrono::steady_clock::time_point answeredAt;
  unsigned asked = 0, answered = 0;
  bool closing = false;
};

// On its own thread: a system bus may be slow or hung, and neither the
// window nor the series waits for it more than a second.
void answer(const std::shared_ptr<Answers>& answers) {
  Bus system{nullptr, sd_bus_close_unref};
  for (;;) {
    std::unique_lock lock(answers->mutex);
    answers->changed.wait(lock,
                          [&] { return answers->asked > answers->answered || answers->closing; });
    if (answers->closing)
      return;
    const unsigned question = answers->asked;
    lock.unlock();
    if (!system)
      system = openBus(sd_bus_open_system);
    const auto state = askUPower(system);
    lock.lock();
    answers->latest = state;
    answers->answered = question;
    answers->answeredAt = std::chrono::steady_clock::now();
    answers->changed.notify_all();
  }
}

class UPowerSource final : public PowerSource {
public:
  // Detached: one that waits on a hung bus must not hold up the end of the
  // program; it ends within its bus time-outs.
  UPowerSource() {
    std::thread([answers = answers_] { answer(answers); }).detach();
  }
  ~UPowerSource() override {
    {
      const std::lock_guard lock(answers_->mutex);
      answers_->closing = true;
    }
    answers_->changed.notify_all();
  }
  UPowerSource(const UPowerSource&) = delete;
  UPowerSource& operator=(const UPowerSource&) = delete;

  // An answer of the last minute will do (the power changes slowly), so
  // that a series need not wait for a bus that hangs.
  std::optional<PowerState> now() override {
    std::unique_lock lock(answers_->mutex);
    if (answers_->answered > 0 &&
        std::chrono::steady_clock::now() - answers_->answeredAt < std::chrono::minutes(1)) {
      lock.unlock();
      return latest();
    }
    const unsigned question = ++answers_->asked;
    answers_->changed.notify_all();
    if (!answers_->changed.wait_for(lock, std::chrono::seconds(1),
                                    [&] { return answers_->answered >= question; }))
      return std::nullopt;
    return answers_->latest;
  }

  std::optional<PowerState> latest() override {
    const std::lock_guard lock(answers_->mutex);
    if (answers_->answered == answers_->asked) {
      ++answers_->asked;
      answers_->changed.notify_all();
    }
    return answers_->latest;
  }

private:
  std::shared_ptr<Answers> answers_ = std::make_shared<Answers>();
};

} // namespace

std::unique_ptr<PowerSource> makeSystemPowerSource() { return std::make_unique<UPowerSource>(); }

} // namespace obturix
