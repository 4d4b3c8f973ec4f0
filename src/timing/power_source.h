#pragma once

#include <chrono>
#include <memory>
#include <optional>

namespace obturix {

// How the computer is powered, as the system tells it.
struct PowerState {
  bool onBattery = false;
  int percentage = -1;                         // the battery's charge; -1 unknown
  std::optional<std::chrono::seconds> timeLeft; // on battery, the system's estimate
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
};

// Linux: UPower's display device on the system bus. Windows:
// GetSystemPowerStatus.
std::unique_ptr<PowerSource> makeSystemPowerSource();

} // namespace obturix
