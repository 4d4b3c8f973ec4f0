#pragma once

#include <string>

namespace obturix {

// Texts as they cross the registry and the Windows file functions, in the
// 8-bit ANSI code page: Windows-1252 on Linux, the system's ANSI code page
// on Windows. A character with no 8-bit form, and a malformed UTF-8
// sequence, becomes one '?'.
std::string toAnsi(const std::string& utf8);
std::string fromAnsi(const std::string& ansi);

// Whether a text crosses the code page unchanged: every character has its
// own 8-bit form (none becomes '?' or, on Windows, a look-alike).
inline bool crossesAnsiUnchanged(const std::string& utf8) { return fromAnsi(toAnsi(utf8)) == utf8; }

} // namespace obturix
