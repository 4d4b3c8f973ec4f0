#include "text/system_reason.h"

#include "text/wide_text_win32.h"

#include <windows.h>

namespace obturix {

// The system's own words, in its language, on one line and without the
// final full stop.
std::string systemReason(long error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.'))
    message.pop_back();
  return message.empty() ? "erreur du système (n° " + std::to_string(error) + ")" : narrow(message);
}

} // namespace obturix
