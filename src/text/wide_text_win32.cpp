#include "text/wide_text_win32.h"

namespace obturix {

std::wstring widen(std::string_view text, UINT codePage) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string narrow(std::wstring_view utf16, UINT codePage) {
  if (utf16.empty())
    return {};
  const char* replacement = codePage == CP_UTF8 ? nullptr : "?";
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(codePage, 0, utf16.data(), size, nullptr, 0, replacement, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, utf16.data(), size, text.data(), length, replacement, nullptr);
  return text;
}

std::wstring windowsLines(std::string_view utf8) {
  std::wstring lines;
  for (const wchar_t c : widen(utf8)) {
    if (c == L'\r')
      lines += L"\r\n";
    else if (c != L'\n' || lines.empty() || lines.back() != L'\n')
      lines += c;
  }
  return lines;
}

} // namespace obturix
