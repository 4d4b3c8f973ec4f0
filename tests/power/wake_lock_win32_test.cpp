#include "power/wake_lock_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace obturix {
namespace {

// Stand-ins that log the calls and make them for real, but for a power
// request made up, or missing, as the row wants.
enum class Requests { MadeUp, Missing, Refused, System } requests;
std::vector<std::string> calls;
const PowerCalls real;
HANDLE const madeUp = reinterpret_cast<HANDLE>(0x4242);

HANDLE WINAPI createRequest(PREASON_CONTEXT context) {
  calls.push_back(std::wstring(context->Reason.SimpleReasonString) == L"Série de poses en cours"
                      ? "create"
                      : "create without the reason");
  if (requests == Requests::System) {
    HANDLE system = real.createRequest(context);
    if (system == INVALID_HANDLE_VALUE)
      requests = Requests::Missing; // Wine has none
    else
      real.closeHandle(system);
  }
  return requests == Requests::Missing ? INVALID_HANDLE_VALUE : madeUp;
}
BOOL WINAPI setRequest(HANDLE, POWER_REQUEST_TYPE type) {
  calls.push_back(type == PowerRequestSystemRequired ? "set" : "set the display too");
  return requests != Requests::Refused;
}
BOOL WINAPI clearRequest(HANDLE, POWER_REQUEST_TYPE) { return calls.push_back("clear"), TRUE; }
BOOL WINAPI closeHandle(HANDLE) { return calls.push_back("close"), TRUE; }
EXECUTION_STATE WINAPI setThreadExecutionState(EXECUTION_STATE state) {
  calls.push_back("thread " + std::to_string(state)); // never ES_DISPLAY_REQUIRED
  return real.setThreadExecutionState(state);
}

// A power request where the system has one and sets it, else the thread's
// execution state; either is given back once. The last row asks the system.
TEST(Win32WakeLock, AsksTheSystemToStayAwakeUntilGivenBack) {
  using Calls = std::vector<std::string>;
  const Calls request = {"create", "set", "clear", "close"};
  const Calls state = {"create", "thread " + std::to_string(ES_CONTINUOUS | ES_SYSTEM_REQUIRED),
                       "thread " + std::to_string(ES_CONTINUOUS)};
  const Calls refused = {"create", "set", "close", state[1], state[2]};
  for (const Requests row :
       {Requests::MadeUp, Requests::Missing, Requests::Refused, Requests::System}) {
    requests = row;
    calls.clear();
    const auto lock = makeWin32WakeLock(
        {createRequest, setRequest, clearRequest, closeHandle, setThreadExecutionState});
    lock->take();
    lock->giveBack();
    lock->giveBack();
    EXPECT_EQ(calls, requests == Requests::Missing   ? state
                     : requests == Requests::Refused ? refused
                                                     : request)
        << static_cast<int>(row);
  }
}

} // namespace
} // namespace obturix
