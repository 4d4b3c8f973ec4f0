#pragma once

#include "serial/serial_port.h"

#include <windows.h>

#include <memory>

namespace obturix {

// The system calls a port is opened, pressed, watched and let go with, so
// that tests can stand in for them.
struct PortCalls {
  decltype(&CreateFileW) createFile = CreateFileW;
  decltype(&GetFileType) fileType = GetFileType;
  decltype(&GetCommState) commState = GetCommState;
  decltype(&EscapeCommFunction) escape = EscapeCommFunction;
  decltype(&SetCommMask) setMask = SetCommMask;
  decltype(&WaitCommEvent) waitEvent = WaitCommEvent;
  decltype(&GetOverlappedResult) overlappedResult = GetOverlappedResult;
  decltype(&ClearCommError) clearError = ClearCommError;
  decltype(&CloseHandle) closeHandle = CloseHandle;
};

// COM ports opened through `calls`: DTR and RTS raised at the open (either
// may be wired to the camera) and cleared before the close.
std::unique_ptr<SerialPortServiceFactory> makeWin32SerialPortServiceFactory(const PortCalls& calls);

} // namespace obturix
