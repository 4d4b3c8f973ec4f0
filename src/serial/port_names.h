#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace obturix {

// The number written with 1 to 6 decimal digits and nothing else, or nothing.
std::optional<unsigned> smallDecimal(std::string_view digits);

// The number n of a name "COMn" (any case, n >= 1), or nothing for any other name.
std::optional<unsigned> comPortNumber(std::string_view portName);

// Linux: "COMn" is /dev/ttyS{n-1}; any other name is a path, used as typed.
std::string posixDevicePath(std::string_view portName);

// Windows: "COMn" is \\.\COMn, which also reaches COM10 and above; any other
// name is used as typed.
std::string win32DevicePath(std::string_view portName);

} // namespace obturix
