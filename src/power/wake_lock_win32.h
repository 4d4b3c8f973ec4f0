#pragma once

#include "power/wake_lock.h"

#include <windows.h>

namespace obturix {

// The system calls a Windows wake lock makes, so that tests can stand in
// for them.
struct PowerCalls {
  decltype(&PowerCreateRequest) createRequest = PowerCreateRequest;
  decltype(&PowerSetRequest) setRequest = PowerSetRequest;
  decltype(&PowerClearRequest) clearRequest = PowerClearRequest;
  decltype(&CloseHandle) closeHandle = CloseHandle;
  decltype(&SetThreadExecutionState) setThreadExecutionState = SetThreadExecutionState;
};

// A power request ("system required"); where the system has none (Wine
// answers that it is not implemented), the calling thread's execution state.
std::unique_ptr<WakeLock> makeWin32WakeLock(const PowerCalls& calls);

} // namespace obturix
