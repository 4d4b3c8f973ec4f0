#include "serial/serial_port_win32.h"
#include "timing/monotonic_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace obturix {
namespace {

// Stand-ins for a COM port: they log what is done to its lines and handle;
// it goes away when `gone` is set, and a WaitCommEvent stays under way only
// when `waits` is.
std::vector<std::string> done;
std::atomic<bool> gone{false};
bool waits = false;
std::atomic<OVERLAPPED*> waiting{nullptr};
const HANDLE port = reinterpret_cast<HANDLE>(0x7000);

HANDLE WINAPI createFile(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  done.emplace_back("open");
  return port;
}
DWORD WINAPI fileType(HANDLE) { return FILE_TYPE_CHAR; }
BOOL WINAPI commState(HANDLE, LPDCB) { return TRUE; }
BOOL WINAPI escape(HANDLE, DWORD function) {
  done.emplace_back(function == SETDTR   ? "DTR raised"
                    : function == SETRTS ? "RTS raised"
                    : function == CLRDTR ? "DTR cleared"
                    : function == CLRRTS ? "RTS cleared"
                                         : "other line");
  return TRUE;
}
BOOL WINAPI setMask(HANDLE, DWORD) { return TRUE; }
BOOL WINAPI waitEvent(HANDLE, LPDWORD, LPOVERLAPPED overlapped) {
  waiting = overlapped;
  SetLastError(waits ? ERROR_IO_PENDING : ERROR_NOT_SUPPORTED);
  return FALSE;
}
BOOL WINAPI overlappedResult(HANDLE, LPOVERLAPPED, LPDWORD, BOOL) {
  SetLastError(gone ? ERROR_OPERATION_ABORTED : ERROR_IO_INCOMPLETE);
  return FALSE;
}
BOOL WINAPI clearError(HANDLE, LPDWORD, LPCOMSTAT) { return !gone; }
BOOL WINAPI closeHandle(HANDLE) {
  done.emplace_back("close");
  return TRUE;
}
const PortCalls standIns{createFile, fileType,         commState,  escape,     setMask,
                         waitEvent,  overlappedResult, clearError, closeHandle};

// Either line may be wired to the camera: both are raised for the press and
// cleared before the port is closed.
TEST(Win32Ports, APressRaisesDtrAndRtsAndClearsBothBeforeTheClose) {
  done.clear();
  const Opening opening = makeWin32SerialPortServiceFactory(standIns)->create()->open("COM3");
  ASSERT_TRUE(opening.stream);
  opening.stream->close();
  opening.stream->close(); // once only
  EXPECT_EQ(done, (std::vector<std::string>{"open", "DTR raised", "RTS raised", "DTR cleared",
                                            "RTS cleared", "close"}));
}

// The port gone during a press ends its wait soon after, whether the system
// keeps a wait on its events (ended by the device's going) or not (the port
// then asked every tenth of a second); a port that stays holds to the end.
TEST(Win32Ports, APortGoneDuringAPressEndsItsWait) {
  using namespace std::chrono_literals;
  for (const bool systemWaits : {true, false}) {
    for (const bool pulled : {true, false}) {
      waits = systemWaits;
      gone = false;
      waiting = nullptr;
      const Opening opening = makeWin32SerialPortServiceFactory(standIns)->create()->open("COM3");
      ASSERT_TRUE(opening.stream && opening.stream->held());
      const auto sleeper = makeSystemSleeper();
      const auto start = monotonicNow();
      std::thread pulling([&] {
        sleepUntilMonotonic(start + 30ms);
        gone = pulled;
        if (OVERLAPPED* wait = waiting; pulled && systemWaits && wait)
          SetEvent(wait->hEvent);
      });
      const bool lost = sleeper->holdUntil(start + (pulled ? 10s : 200ms), *opening.stream->held());
      const auto held = monotonicNow() - start;
      pulling.join();
      EXPECT_EQ(lost, pulled) << systemWaits;
      EXPECT_LT(held, pulled ? 1s : 10s) << systemWaits;
      EXPECT_GE(held, pulled ? 30ms : 200ms) << systemWaits;
      if (OVERLAPPED* wait = waiting) // as the system ends it with the port's handle
        SetEvent(wait->hEvent);
      opening.stream->close();
    }
  }
}

} // namespace
} // namespace obturix
