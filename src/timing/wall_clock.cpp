#include "timing/wall_clock.h"

namespace obturix {

namespace {

class SystemWallClock final : public WallClock {
public:
  std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::now();
  }
  LocalTime local(std::chrono::system_clock::time_point moment) const override {
    const std::tm parts = localParts(std::chrono::system_clock::to_time_t(moment));
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min};
  }
};

} // namespace

std::unique_ptr<WallClock> makeSystemWallClock() { return std::make_unique<SystemWallClock>(); }

} // namespace obturix
