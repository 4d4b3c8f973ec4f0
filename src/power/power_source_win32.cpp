#include "power/power_source.h"

#include <windows.h>

namespace obturix {

namespace {

// The system answers at once.
class Win32PowerSource final : public PowerSource {
public:
  std::optional<PowerState> now() override {
    SYSTEM_POWER_STATUS status{};
    constexpr BYTE noBattery = 128, unknown = 255;
    if (!GetSystemPowerStatus(&status) || status.BatteryFlag == unknown ||
        (status.BatteryFlag & noBattery))
      return std::nullopt;
    PowerState state{status.ACLineStatus == 0,
                     status.BatteryLifePercent <= 100 ? status.BatteryLifePercent : -1,
                     std::nullopt};
    if (status.BatteryLifeTime != static_cast<DWORD>(-1))
      state.timeLeft = std::chrono::seconds(status.BatteryLifeTime);
    return sensible(state);
  }
  std::optional<PowerState> latest() override { return now(); }
};

} // namespace

std::unique_ptr<PowerSource> makeSystemPowerSource() {
  return std::make_unique<Win32PowerSource>();
}

} // namespace obturix
