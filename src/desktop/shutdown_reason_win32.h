#pragma once

#include <windows.h>

namespace obturix {

// The calls that tell a shutdown or a logout why the program is busy, so
// that tests can stand in for them (Wine cannot say whether a reason is set).
struct ShutdownReasonCalls {
  decltype(&ShutdownBlockReasonCreate) create = ShutdownBlockReasonCreate;
  decltype(&ShutdownBlockReasonDestroy) destroy = ShutdownBlockReasonDestroy;
};

// For its own life, a shutdown or a logout is told that `window` runs a
// series; after it, nothing holds them up.
class ShutdownBlocked {
public:
  explicit ShutdownBlocked(HWND window, const ShutdownReasonCalls& calls = {})
      : window_(window), calls_(calls) {
    calls_.create(window_, L"Série de poses en cours");
  }
  ~ShutdownBlocked() { calls_.destroy(window_); }
  ShutdownBlocked(const ShutdownBlocked&) = delete;
  ShutdownBlocked& operator=(const ShutdownBlocked&) = delete;

private:
  HWND window_;
  ShutdownReasonCalls calls_;
};

} // namespace obturix
