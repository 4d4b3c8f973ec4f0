#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace obturix {

// A decimal number held exactly: (negative ? -1 : 1) × digits × 10^exponent.
struct DecimalNumber {
  bool negative = false;
  std::string digits; // significant digits, no leading or trailing zeros; empty for zero
  std::int64_t exponent = 0;

  bool isZero() const { return digits.empty(); }
};

// Reads a decimal number typed by a person: blanks around it, an optional
// sign, digits with a point or a comma as decimal separator, an optional
// exponent ("1e3", "2,5E-1"). Anything else gives nothing.
std::optional<DecimalNumber> parseDecimal(std::string_view text);

// Whether a text is a number equal to `value` ("6", "6.0", "60e-1" for 6).
bool isDecimalEqualTo(std::string_view text, unsigned value);

// number × 10^shift rounded to the nearest integer, halves to the even
// neighbour; nothing when the result has more than 18 digits.
std::optional<std::int64_t> roundShifted(const DecimalNumber& number, int shift);

} // namespace obturix
