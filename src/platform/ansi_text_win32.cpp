#include "platform/ansi_text.h"
#include "platform/utf8.h"

#include <windows.h>

namespace obturix {

namespace {

std::wstring widen(const std::string& text, UINT codePage) {
  if (text.empty())
    return {};
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty())
    return {};
  const char* replacement = codePage == CP_UTF8 ? nullptr : "?";
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, replacement, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      replacement, nullptr);
  return text;
}

} // namespace

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

std::string fromAnsi(const std::string& ansi) { return narrow(widen(ansi, CP_ACP), CP_UTF8); }

} // namespace obturix
