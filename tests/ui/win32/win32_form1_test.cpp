#include "fakes/fake_series_services.h"
#include "desktop/shutdown_reason_win32.h"
#include "ui/win32/win32_form1.h"
#include "desktop/desktop_notices_win32.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

using enum Control;

// The Win32 window on fakes.
struct Win32Rig : testing::FakeSeriesServices {
  Win32Form1 form{services()};
  HWND control(Control c) const {
    return GetDlgItem(form.handle(), static_cast<int>(indexOf(c) + controlIdBase));
  }
};

// Tab walks the table's focus order, skipping labels, frames and disabled
// fields; Shift+Tab walks it back.
TEST(Win32Form1, FocusFollowsTheTabOrder) {
  Win32Rig rig;
  Win32Controls controls{};
  for (std::size_t i = 0; i < controlCount; ++i)
    controls[i] = rig.control(static_cast<Control>(i));
  const auto walk = [&](bool backwards) {
    std::vector<HWND> visited{rig.control(Command1)};
    while (visited.size() < 11)
      visited.push_back(nextInTabOrder(controls, visited.back(), backwards));
    return visited;
  };
  const std::vector<Control> order = {Command1, Command2, Text3,   Text2, Text1,
                                      Text6,    Text7,    ChkMiro, Text5, ChkAffichePoppup,
                                      Command1};
  std::vector<HWND> expected;
  for (const Control c : order)
    expected.push_back(rig.control(c));
  EXPECT_EQ(walk(false), expected);
  EXPECT_EQ(walk(true), std::vector<HWND>(expected.rbegin(), expected.rend()));

  EnableWindow(rig.control(Text6), FALSE);
  EnableWindow(rig.control(Text7), FALSE);
  EXPECT_EQ(nextInTabOrder(controls, rig.control(Text1), false), rig.control(ChkMiro));
}

// Screen readers name a field after the label just before it.
TEST(Win32Form1, EachFieldComesRightAfterItsLabel) {
  Win32Rig rig;
  const std::pair<Control, Control> fields[] = {{Text5, Label6}, {Text1, Label1}, {Text2, Label2},
                                                {Text3, Label3}, {Text6, Label7}, {Text7, Label8}};
  for (const auto& [field, label] : fields)
    EXPECT_EQ(GetWindow(rig.control(field), GW_HWNDPREV), rig.control(label)) << int(field);
  // and the counter stays above its heading
  EXPECT_EQ(GetWindow(rig.control(LabEc), GW_HWNDNEXT), rig.control(Label5));
}

// A shutdown or a logout during a series is told to wait; if the session
// ends all the same, the series stops and its parameters are saved before
// the window answers, after which the system may end the process.
TEST(Win32Form1, TheEndOfTheSessionStopsASeriesAndSavesItsParameters) {
  using namespace std::chrono_literals;
  Win32Rig rig;
  SendMessageW(rig.control(ChkAffichePoppup), BM_SETCHECK, BST_UNCHECKED, 0);
  SetWindowTextW(rig.control(Text1), L"3");
  const HWND window = rig.form.handle();
  rig.sleeper.at[1500ms] = [&] { // on the timing thread, as the system would send them
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), FALSE);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(rig.registry.keys().at("software\\obturix\\param").values.size(), 7u);
  };
  rig.form.behaviour().LancerSerie();
  EXPECT_EQ(rig.ports.presses.size(), 1u);
  EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
}

// The reason a shutdown is told goes with the series.
TEST(Win32Form1, TheShutdownReasonLastsAsLongAsTheSeries) {
  static std::vector<std::wstring> calls;
  const ShutdownReasonCalls standIns{[](HWND, LPCWSTR why) {
                                       calls.emplace_back(why);
                                       return TRUE;
                                     },
                                     [](HWND) {
                                       calls.emplace_back(L"destroyed");
                                       return TRUE;
                                     }};
  { const ShutdownBlocked series(nullptr, standIns); }
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"Série de poses en cours", L"destroyed"}));
}

// A press that could not be made is told at once: the task bar button
// flashes until looked at, the warning sound, the notification area's
// balloon; its icon is there until the series is over.
TEST(Win32Form1, WhatCannotWaitIsToldAtOnce) {
  static std::vector<std::wstring> calls;
  calls.clear();
  const NoticeCalls standIns{[](PFLASHWINFO flash) {
                               calls.emplace_back(flash->dwFlags == (FLASHW_TRAY | FLASHW_TIMERNOFG)
                                                      ? L"flash"
                                                      : L"flash?");
                               return TRUE;
                             },
                             [](UINT type) {
                               calls.emplace_back(type == MB_ICONWARNING ? L"beep" : L"beep?");
                               return TRUE;
                             },
                             [](DWORD message, PNOTIFYICONDATAW data) {
                               calls.emplace_back(std::to_wstring(message) + L" " + data->szInfo);
                               return TRUE;
                             }};
  {
    Win32Notices notices(nullptr, nullptr, standIns);
    notices.tell(L"La pose 2");
    notices.tell(L"La pose 4");
    notices.seriesOver();
  }
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"flash", L"beep", L"0 La pose 2", L"flash", L"beep",
                                              L"1 La pose 4", L"2 "}));
}

} // namespace
} // namespace obturix
