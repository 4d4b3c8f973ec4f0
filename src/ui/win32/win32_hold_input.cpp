#include "ui/win32/win32_hold_input.h"

#include "threads/timing_thread.h"

#include <windows.h>

namespace obturix {

namespace {

constexpr UINT pickUpEveryMs = 40;
constexpr UINT notInput = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;
constexpr wchar_t pickUpClass[] = L"ObturixPickUp";

// Everything waiting but the clicks and keys meant for the windows' insides
// (the mouse's moves pass: a tooltip shows).
void dispatchAllButInput() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0,
                      PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE) ||
         PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_SYSKEYDOWN, WM_SYSDEADCHAR, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK pickUpProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    if (auto* timing = reinterpret_cast<TimingThread*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      timing->runHandedOver();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A hidden window whose timer runs the tasks handed over, in whatever
// message loop this thread is in: the question whether to stop the series
// has one of its own, and the counter goes on meanwhile.
class PickUp {
public:
  explicit PickUp(TimingThread& timing) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = pickUpProcedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = pickUpClass;
    RegisterClassExW(&type); // fails harmlessly when already registered
    window_ = CreateWindowExW(0, pickUpClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              type.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&timing));
    SetTimer(window_, 1, pickUpEveryMs, nullptr);
  }
  ~PickUp() { DestroyWindow(window_); }
  PickUp(const PickUp&) = delete;
  PickUp& operator=(const PickUp&) = delete;

private:
  HWND window_ = nullptr;
};

} // namespace

void runHoldingInput(const std::function<void(const HandOver&)>& cycles) {
  const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  TimingThread timing(cycles, [done] { SetEvent(done); });
  {
    const PickUp pickUp(timing);
    while (MsgWaitForMultipleObjectsEx(1, &done, pickUpEveryMs, notInput, 0) != WAIT_OBJECT_0)
      dispatchAllButInput();
  }
  CloseHandle(done);
  timing.finish();
}

} // namespace obturix
