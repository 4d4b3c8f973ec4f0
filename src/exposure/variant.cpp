#include "exposure/variant.h"

#include <array>
#include <charconv>

namespace obturix {

std::optional<std::string> variantToText(const Variant& value) {
  if (value.isEmpty())
    return std::string();
  if (const std::string* text = value.text())
    return *text;
  if (const double* number = value.number()) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *number);
    return std::string(buffer.data(), result.ptr);
  }
  return std::nullopt;
}

} // namespace obturix
