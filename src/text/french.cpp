#include "text/french.h"

#include <cstdlib>

namespace obturix {

namespace {

constexpr std::string_view openingQuote = "\u00AB";
constexpr std::string_view closingQuote = "\u00BB";

bool needsNoBreakBefore(std::string_view rest) {
  return (!rest.empty() &&
          (rest[0] == ':' || rest[0] == ';' || rest[0] == '?' || rest[0] == '!')) ||
         rest.starts_with(closingQuote);
}

} // namespace

std::string typeset(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool breakable = text[i] == ' ' && (needsNoBreakBefore(text.substr(i + 1)) ||
                                              std::string_view(out).ends_with(openingQuote));
    if (breakable)
      out += noBreakSpace;
    else
      out += text[i];
  }
  return out;
}

std::string frenchNumber(std::int64_t number) {
  // Through the unsigned magnitude: the smallest number has no positive twin.
  const bool negative = number < 0;
  std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(number) + 1 : static_cast<std::uint64_t>(number);
  const std::string digits = std::to_string(magnitude);
  std::string out = negative ? "-" : "";
  if (magnitude < 10000)
    return out + digits;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += noBreakSpace;
    out += digits[i];
  }
  return out;
}

std::string frenchDecimal(std::int64_t units, int decimals, bool grouped) {
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10;
  const std::string sign = units < 0 ? "-" : "";
  const std::int64_t whole = std::llabs(units / scale);
  return sign + (grouped ? frenchNumber(whole) : std::to_string(whole)) +
         (decimals > 0 ? "," + zeroPadded(std::llabs(units % scale), decimals) : "");
}

std::string zeroPadded(std::int64_t number, int width) {
  std::string digits = std::to_string(number);
  if (digits.size() < static_cast<std::size_t>(width))
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return digits;
}

} // namespace obturix
