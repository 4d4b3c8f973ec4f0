#include "desktop/desktop_notices_win32.h"

#include <cwchar>

namespace obturix {

NOTIFYICONDATAW Win32Notices::iconData() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  return data;
}

void Win32Notices::tell(const std::wstring& text) {
  FLASHWINFO flash{sizeof flash, window_, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
  calls_.flash(&flash);
  calls_.beep(MB_ICONWARNING);
  NOTIFYICONDATAW data = iconData();
  data.uFlags = NIF_ICON | NIF_TIP | NIF_INFO;
  data.hIcon = icon_;
  std::wcsncpy(data.szTip, L"Obturix", std::size(data.szTip) - 1);
  std::wcsncpy(data.szInfoTitle, L"Obturix", std::size(data.szInfoTitle) - 1);
  std::wcsncpy(data.szInfo, text.c_str(), std::size(data.szInfo) - 1);
  data.dwInfoFlags = NIIF_WARNING;
  iconShown_ = calls_.notifyIcon(iconShown_ ? NIM_MODIFY : NIM_ADD, &data) || iconShown_;
}

void Win32Notices::seriesOver() {
  if (!iconShown_)
    return;
  NOTIFYICONDATAW data = iconData();
  calls_.notifyIcon(NIM_DELETE, &data);
  iconShown_ = false;
}

} // namespace obturix
