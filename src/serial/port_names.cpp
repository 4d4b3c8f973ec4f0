#include "serial/port_names.h"

#include <cctype>

namespace obturix {

std::optional<unsigned> smallDecimal(std::string_view digits) {
  if (digits.empty() || digits.size() > 6)
    return std::nullopt;
  unsigned number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9')
      return std::nullopt;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

std::optional<unsigned> comPortNumber(std::string_view portName) {
  constexpr std::string_view prefix = "COM";
  if (portName.size() < prefix.size())
    return std::nullopt;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(portName[i])) != prefix[i])
      return std::nullopt;
  }
  const auto number = smallDecimal(portName.substr(prefix.size()));
  return number && *number > 0 ? number : std::nullopt;
}

std::string posixDevicePath(std::string_view portName) {
  if (auto number = comPortNumber(portName))
    return "/dev/ttyS" + std::to_string(*number - 1);
  return std::string(portName);
}

std::string win32DevicePath(std::string_view portName) {
  if (auto number = comPortNumber(portName))
    return "\\\\.\\COM" + std::to_string(*number);
  return std::string(portName);
}

} // namespace obturix
