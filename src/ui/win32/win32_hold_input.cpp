#include "ui/win32/win32_hold_input.h"

#include "window/timing_thread.h"

#include <windows.h>

namespace obturix {

namespace {

constexpr DWORD pickUpEveryMs = 40;
constexpr UINT notInput = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;

// Everything waiting but user input.
void dispatchAllButInput() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0,
                      PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

} // namespace

void runHoldingInput(const std::function<void(const OnWindowThread&)>& cycles) {
  const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  TimingThread timing(cycles, [done] { SetEvent(done); });
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, pickUpEveryMs, notInput, 0);
    timing.runHandedOver();
    if (woke == WAIT_OBJECT_0)
      break;
    dispatchAllButInput();
  }
  CloseHandle(done);
  timing.finish();
}

} // namespace obturix
