#include "text/ansi_text.h"
#include "text/utf8.h"
#include "text/wide_text_win32.h"

namespace obturix {

// Decoded here rather than by the system, so that a malformed sequence
// becomes one '?' as on Linux.
std::string toAnsi(const std::string& utf8) {
  std::wstring wide;
  for (const char32_t c : decodeUtf8(utf8)) {
    if (c < 0x10000) {
      wide += static_cast<wchar_t>(c);
    } else {
      wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return narrow(wide, CP_ACP);
}

std::string fromAnsi(const std::string& ansi) { return narrow(widen(ansi, CP_ACP)); }

} // namespace obturix
