#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace obturix {

// Texts between a code page (UTF-8 unless another is named) and the
// system's UTF-16. Narrowing to a code page other than UTF-8 writes '?' for
// a character it has no form for.
std::wstring widen(std::string_view text, UINT codePage = CP_UTF8);
std::string narrow(std::wstring_view utf16, UINT codePage = CP_UTF8);

// A text as the program builds it, each carriage return alone a new line,
// with the CR LF line ends Windows draws.
std::wstring windowsLines(std::string_view utf8);

} // namespace obturix
