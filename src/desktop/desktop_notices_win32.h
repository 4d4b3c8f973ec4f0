#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace obturix {

// The calls that tell the user at once, so that tests can stand in for them.
struct NoticeCalls {
  decltype(&FlashWindowEx) flash = FlashWindowEx;
  decltype(&MessageBeep) beep = MessageBeep;
  decltype(&Shell_NotifyIconW) notifyIcon = Shell_NotifyIconW;
};

// What cannot wait for a series' end, told from `window`: its task bar
// button flashes until it is looked at, the warning sound plays, and a
// balloon of the notification area says it. The notification area's icon
// stays until the series is over.
class Win32Notices {
public:
  Win32Notices(HWND window, HICON icon, const NoticeCalls& calls = {})
      : window_(window), icon_(icon), calls_(calls) {}
  ~Win32Notices() { seriesOver(); }
  Win32Notices(const Win32Notices&) = delete;
  Win32Notices& operator=(const Win32Notices&) = delete;

  void tell(const std::wstring& text);
  void seriesOver();

private:
  NOTIFYICONDATAW iconData() const;

  HWND window_;
  HICON icon_;
  NoticeCalls calls_;
  bool iconShown_ = false;
};

} // namespace obturix
