#include "exposure/plan.h"

#include "exposure/decimal.h"

#include <limits>

namespace obturix {

std::optional<std::int64_t> cycleCount(const std::string& count) {
  const auto number = parseDecimal(count);
  if (!number)
    return std::nullopt;
  if (number->negative || number->isZero())
    return 0;
  const std::int64_t integerDigits =
      static_cast<std::int64_t>(number->digits.size()) + number->exponent;
  if (integerDigits <= 0)
    return 0;
  if (integerDigits > 18)
    return std::numeric_limits<std::int64_t>::max();
  std::int64_t whole = 0;
  for (std::int64_t i = 0; i < integerDigits; ++i) {
    const auto index = static_cast<std::size_t>(i);
    whole = whole * 10 + (index < number->digits.size() ? number->digits[index] - '0' : 0);
  }
  return whole;
}

std::chrono::milliseconds SeriesPlan::cycle() const {
  return exposure + interval + (mirror ? pulse + settle : std::chrono::milliseconds(0));
}

std::chrono::milliseconds SeriesPlan::left(std::int64_t from) const {
  const std::int64_t toCome = cycles - from + 1;
  if (toCome <= 0)
    return std::chrono::milliseconds(0);
  return cycle().count() > 0 && toCome > century / cycle() ? century : cycle() * toCome;
}

} // namespace obturix
