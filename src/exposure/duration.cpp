#include "exposure/duration.h"

#include "exposure/decimal.h"

#include <cstdint>
#include <limits>

namespace obturix {

std::optional<std::chrono::milliseconds> durationMilliseconds(const Variant& seconds) {
  const auto text = variantToText(seconds);
  if (!text)
    return std::nullopt;
  const auto number = parseDecimal(*text);
  if (!number || (number->negative && !number->isZero()))
    return std::nullopt;
  const auto milliseconds = roundShifted(*number, 3);
  if (!milliseconds || *milliseconds > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return std::chrono::milliseconds(*milliseconds);
}

} // namespace obturix
