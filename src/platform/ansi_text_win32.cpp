#include "platform/registry.h"

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

std::string toAnsi(const std::string& utf8) { return narrow(widen(utf8, CP_UTF8), CP_ACP); }

std::string fromAnsi(const std::string& ansi) { return narrow(widen(ansi, CP_ACP), CP_UTF8); }

} // namespace obturix
