#include "terminal/stop_event_win32.h"
#include "terminal/stop_requests.h"

#include <windows.h>

namespace obturix {

std::wstring stopEventName(unsigned long pid) {
  return L"Local\\Obturix-serie-arret-" + std::to_wstring(pid);
}

namespace {

class Win32StopRequests;
// The console's handler is given no context: the one instance it reaches.
Win32StopRequests* handling = nullptr;

// Ctrl-C, Ctrl-Break, the console closed, the session ended, and the stop
// event --arreter sets from another console. When the console closes the
// system ends the process as soon as the handler returns: it waits (4.5 s at
// most, within the system's 5) until the series is over and told.
class Win32StopRequests final : public StopRequests {
public:
  Win32StopRequests()
      : ctrl_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        stop_(CreateEventW(nullptr, FALSE, FALSE, stopEventName(GetCurrentProcessId()).c_str())),
        over_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    handling = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  }
  // The process ends: a handler waiting for it returns. Its handles stay
  // open, as the handler may still run.
  ~Win32StopRequests() override { SetEvent(over_); }

  Request wait(std::chrono::milliseconds timeout) override {
    const HANDLE events[] = {ctrl_, stop_};
    const DWORD woken =
        WaitForMultipleObjects(stop_ ? 2 : 1, events, FALSE, static_cast<DWORD>(timeout.count()));
    return woken == WAIT_OBJECT_0 || woken == WAIT_OBJECT_0 + 1 ? Request::Stop : Request::None;
  }

private:
  static BOOL WINAPI onConsoleEvent(DWORD event) {
    SetEvent(handling->ctrl_);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
      WaitForSingleObject(handling->over_, 4500);
    return TRUE;
  }
  HANDLE ctrl_, stop_, over_;
};

} // namespace

std::unique_ptr<StopRequests> makeSystemStopRequests() {
  return std::make_unique<Win32StopRequests>();
}

} // namespace obturix
