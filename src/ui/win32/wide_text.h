#pragma once

#include <string>
#include <string_view>

namespace obturix {

// UTF-8 and the system's UTF-16, for the window's texts.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// A text as the program builds it, each carriage return alone a new line,
// with the CR LF line ends Windows draws.
std::wstring windowsLines(std::string_view utf8);

} // namespace obturix
