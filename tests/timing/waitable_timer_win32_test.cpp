#include "timing/waitable_timer_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace obturix {
namespace {

// Stand-ins that log the calls; the high-resolution flag is refused, as
// before Windows 10 1803, or granted with a real timer, as the row wants.
bool highResolution;
std::vector<std::string> calls;

HANDLE WINAPI createTimer(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD flags, DWORD access) {
  calls.push_back(flags & CREATE_WAITABLE_TIMER_HIGH_RESOLUTION ? "high-resolution timer"
                                                                : "timer");
  return highResolution ? CreateWaitableTimerExW(nullptr, nullptr, 0, access) : nullptr;
}
MMRESULT WINAPI beginPeriod(UINT ms) {
  calls.push_back("system timer at " + std::to_string(ms) + " ms");
  return TIMERR_NOERROR;
}
MMRESULT WINAPI endPeriod(UINT ms) {
  calls.push_back("system timer back from " + std::to_string(ms) + " ms");
  return TIMERR_NOERROR;
}

// The high-resolution timer where the system has it; else the system timer
// at 1 ms for the series, and back once it is over.
TEST(Win32Timers, WaitsAreTimedFinelyWhateverTheSystemOffers) {
  using Calls = std::vector<std::string>;
  const TimerCalls standIns{createTimer, beginPeriod, endPeriod};
  for (const bool granted : {true, false}) {
    highResolution = granted;
    calls.clear();
    { const FineSystemTimer forTheSeries(standIns); }
    const Calls expected = granted ? Calls{"high-resolution timer"}
                                   : Calls{"high-resolution timer", "system timer at 1 ms",
                                           "system timer back from 1 ms"};
    EXPECT_EQ(calls, expected) << granted;
  }
}

} // namespace
} // namespace obturix
