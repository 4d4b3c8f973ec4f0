#include "timing/wall_clock.h"

namespace obturix {

std::tm localParts(std::time_t moment) {
  std::tm parts{};
  localtime_r(&moment, &parts);
  return parts;
}

} // namespace obturix
