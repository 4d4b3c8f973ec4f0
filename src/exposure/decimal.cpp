#include "exposure/decimal.h"

namespace obturix {

namespace {

constexpr std::size_t maxResultDigits = 18;
// Exponents beyond this magnitude are clamped: the number is then far out of
// any range a caller accepts, or rounds to zero, either way.
constexpr std::int64_t exponentLimit = 1'000'000'000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Reads the exponent part after 'e' or 'E'; the whole rest must be used.
std::optional<std::int64_t> parseExponent(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty())
    return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (!isDigit(c))
      return std::nullopt;
    if (value < exponentLimit)
      value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

void normalise(DecimalNumber& number) {
  const std::size_t first = number.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    number = DecimalNumber{};
    return;
  }
  number.digits.erase(0, first);
  const std::size_t last = number.digits.find_last_not_of('0');
  const std::size_t trailingZeros = number.digits.size() - last - 1;
  number.digits.erase(last + 1);
  number.exponent += static_cast<std::int64_t>(trailingZeros);
}

} // namespace

std::optional<DecimalNumber> parseDecimal(std::string_view text) {
  text = trimBlanks(text);
  DecimalNumber number;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    number.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  bool anyDigit = false;
  bool afterSeparator = false;
  std::int64_t fractionDigits = 0;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      anyDigit = true;
      number.digits.push_back(c);
      if (afterSeparator)
        ++fractionDigits;
    } else if ((c == '.' || c == ',') && !afterSeparator) {
      afterSeparator = true;
    } else {
      break;
    }
  }
  if (!anyDigit)
    return std::nullopt;
  std::int64_t exponent = 0;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E')
      return std::nullopt;
    const auto parsed = parseExponent(text.substr(i + 1));
    if (!parsed)
      return std::nullopt;
    exponent = *parsed;
  }
  number.exponent = exponent - fractionDigits;
  normalise(number);
  return number;
}

bool isDecimalEqualTo(std::string_view text, unsigned value) {
  const auto number = parseDecimal(text);
  const auto rounded = number ? roundShifted(*number, 0) : std::nullopt;
  // Equal only when rounding changed nothing: no digits below the units.
  return rounded && *rounded == static_cast<std::int64_t>(value) && number->exponent >= 0;
}

std::optional<std::int64_t> roundShifted(const DecimalNumber& number, int shift) {
  if (number.isZero())
    return 0;
  const std::int64_t exponent = number.exponent + shift;
  const auto digitCount = static_cast<std::int64_t>(number.digits.size());
  const std::int64_t integerDigits = digitCount + exponent;
  if (integerDigits > static_cast<std::int64_t>(maxResultDigits))
    return std::nullopt;

  std::int64_t magnitude = 0;
  if (exponent >= 0) {
    for (char c : number.digits)
      magnitude = magnitude * 10 + (c - '0');
    for (std::int64_t k = 0; k < exponent; ++k)
      magnitude *= 10;
  } else if (integerDigits >= 0) {
    const auto split = static_cast<std::size_t>(integerDigits);
    for (std::size_t k = 0; k < split; ++k)
      magnitude = magnitude * 10 + (number.digits[k] - '0');
    // Digits are normalised: no trailing zeros, so anything after the first
    // dropped digit makes the remainder more than a half.
    const char firstDropped = number.digits[split];
    const bool moreAfter = number.digits.size() > split + 1;
    if (firstDropped > '5' || (firstDropped == '5' && (moreAfter || magnitude % 2 == 1)))
      ++magnitude;
  }
  // integerDigits < 0: below 0.1, which rounds to zero.
  return number.negative ? -magnitude : magnitude;
}

} // namespace obturix
