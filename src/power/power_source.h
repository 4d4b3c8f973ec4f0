#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace obturix {

// How the computer is powered, as the system tells it.
struct PowerState {
  bool onBattery = false;
  int percentage = -1;                          // the battery's charge; -1 unknown
  std::optional<std::chrono::seconds> timeLeft; // on battery, the system's estimate
  bool operator==(const PowerState&) const = default;
};

// The system's answer when it makes sense; nothing for a charge outside
// 0–100 % or a time left that is negative or beyond a year, which no
// battery has.
std::optional<PowerState> sensible(const std::optional<PowerState>& answer);

// Follows the power while it is held (see PowerSource::watch).
class PowerWatch {
public:
  virtual ~PowerWatch() = default;
};

// Where the computer's power comes from, asked off the timing thread:
// nothing where there is no battery, or no answer in time.
class PowerSource {
public:
  virtual ~PowerSource() = default;
  // Before a series: an answer of the last minute, else waits a second at
  // most for a new one.
  virtual std::optional<PowerState> now() = 0;
  // During a series: the latest answer at once, a new one asked meanwhile.
  virtual std::optional<PowerState> latest() = 0;
  // Until the watch is dropped, `changed` is called on a thread of the
  // watch's with each answer that differs from the one before (the first
  // one too), within seconds of the system's giving it.
  virtual std::unique_ptr<PowerWatch> watch(std::function<void(const PowerState&)> changed);
};

// Linux: UPower's display device on the system bus. Windows:
// GetSystemPowerStatus. Their answers are sensible ones.
std::unique_ptr<PowerSource> makeSystemPowerSource();

} // namespace obturix
