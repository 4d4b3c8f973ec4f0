#include "ui/win32/win32_message_boxes.h"

#include "text/wide_text_win32.h"
#include "ui/win32/win32_controls.h"

namespace obturix {

namespace {

// The boxes of this thread, renamed and widened as each one opens, and
// dressed for the night where asked.
thread_local HHOOK renamingHook = nullptr;
thread_local const Win32Night* boxNight = nullptr;

// How wide a box must be to show its whole title as the system draws it:
// the title in the caption font, the icon and the close button beside it,
// the borders. (Under Wine, a window manager that draws the title draws it
// in a font of its own, which a Windows program cannot know.)
int widthForTitle(HWND box) {
  const std::wstring title = textOf(box);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return 0;
  const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  SIZE extent{};
  GetTextExtentPoint32W(screen, title.c_str(), static_cast<int>(title.size()), &extent);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return extent.cx + 3 * metrics.iCaptionWidth + GetSystemMetrics(SM_CXSMICON) +
         4 * GetSystemMetrics(SM_CXFIXEDFRAME);
}

// The system sizes a box from its text and buttons: a long title is cut.
// Widened about its centre; its buttons, centred, move with it, its text
// stays where it starts.
void makeRoomForTitle(HWND box) {
  RECT frame{};
  GetWindowRect(box, &frame);
  const int grow = widthForTitle(box) - (frame.right - frame.left);
  if (grow <= 0)
    return;
  SetWindowPos(box, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const int id : {IDYES, IDNO, IDOK}) {
    const HWND button = GetDlgItem(box, id);
    RECT place{};
    if (!button || !GetWindowRect(button, &place))
      continue;
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(button, nullptr, place.left + grow / 2, place.top, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Once the box has laid itself out (its WM_INITDIALOG handled), before it
// is shown.
LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG) {
    const HWND box = call->hwnd;
    SetDlgItemTextW(box, IDYES, L"Oui");
    SetDlgItemTextW(box, IDNO, L"Non");
    SetDlgItemTextW(box, IDOK, L"OK");
    makeRoomForTitle(box);
    if (boxNight)
      boxNight->dressBox(box);
  }
  return CallNextHookEx(renamingHook, code, wParam, lParam);
}

UINT buttonStyle(MessageButtons buttons) {
  switch (buttons) {
  case MessageButtons::YesNo:
    return MB_YESNO | MB_DEFBUTTON1;
  case MessageButtons::YesNoDefaultNo:
    return MB_YESNO | MB_DEFBUTTON2;
  case MessageButtons::Ok:
    break;
  }
  return MB_OK;
}

} // namespace

int Win32MessageBoxes::show(const std::string& prompt, MessageButtons buttons,
                            const std::optional<std::string>& title) {
  const UINT style =
      buttonStyle(buttons) | MB_SETFOREGROUND | (owner_ ? MB_APPLMODAL : MB_TASKMODAL);
  boxNight = night_;
  renamingHook = SetWindowsHookExW(WH_CALLWNDPROCRET, renameButtons, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(owner_, windowsLines(prompt).c_str(),
                                 widen(title.value_or("Obturix")).c_str(), style);
  if (renamingHook)
    UnhookWindowsHookEx(renamingHook);
  renamingHook = nullptr;
  if (buttons == MessageButtons::Ok)
    return answerOk;
  return answer == IDYES ? answerYes : answerNo;
}

} // namespace obturix
