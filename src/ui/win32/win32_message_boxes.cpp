#include "ui/win32/win32_message_boxes.h"

#include "text/wide_text_win32.h"
#include "ui/win32/win32_controls.h"

#include <algorithm>

namespace obturix {

namespace {

// The boxes of this thread, renamed and widened as each one opens, and
// dressed for the night where asked.
thread_local HHOOK renamingHook = nullptr;
thread_local const Win32Night* boxNight = nullptr;
thread_local int boxScale = 1;
thread_local HFONT boxFont = nullptr; // of an enlarged box, while it is open

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

// A child's place in its box's client area.
RECT placeIn(HWND box, HWND child) {
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The box grown by `wider` and `taller` about its centre; with `buttons`,
// its buttons, centred under the text, moved with it (half the width, the
// whole height), its text staying where it starts.
void grow(HWND box, int wider, int taller, bool buttons) {
  RECT frame{};
  GetWindowRect(box, &frame);
  SetWindowPos(box, nullptr, frame.left - wider / 2, frame.top - taller / 2,
               frame.right - frame.left + wider, frame.bottom - frame.top + taller,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (const int id : {IDYES, IDNO, IDOK}) {
    const HWND button = GetDlgItem(box, id);
    if (!buttons || !button)
      continue;
    const RECT place = placeIn(box, button);
    SetWindowPos(button, nullptr, place.left + wider / 2, place.top + taller, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// The system sizes a box from its text and buttons: a long title is cut.
void makeRoomForTitle(HWND box) {
  RECT frame{};
  GetWindowRect(box, &frame);
  const int wider = widthForTitle(box) - (frame.right - frame.left);
  if (wider > 0)
    grow(box, wider, 0, true);
}

// What the prompt needs in `font`: its lines as given, broken only past
// nine tenths of the screen's width; at least `now`.
SIZE promptSize(HWND text, HFONT font, SIZE now) {
  const std::wstring prompt = textOf(text);
  const HDC context = GetDC(text);
  const HGDIOBJ previous = SelectObject(context, font);
  constexpr UINT format = DT_NOPREFIX | DT_EXPANDTABS | DT_CALCRECT;
  RECT lines{0, 0, 0, 0};
  DrawTextW(context, prompt.c_str(), -1, &lines, format);
  RECT broken{0, 0, std::clamp<LONG>(lines.right, now.cx, GetSystemMetrics(SM_CXSCREEN) * 9 / 10),
              0};
  DrawTextW(context, prompt.c_str(), -1, &broken, format | DT_WORDBREAK);
  SelectObject(context, previous);
  ReleaseDC(text, context);
  return {std::max<LONG>(broken.right, now.cx), std::max<LONG>(broken.bottom, now.cy)};
}

// The box `boxScale` times as large: each of its controls at that many
// times its place and size, in its prompt's font that many times as large,
// the prompt given what the larger font needs more (a system font does not
// grow in proportion). The title bar is the system's.
void enlarge(HWND box) {
  constexpr int textId = 0xFFFF; // the prompt's control in a message box
  const HWND text = GetDlgItem(box, textId);
  LOGFONTW font{};
  const auto shown = reinterpret_cast<HFONT>(SendMessageW(text ? text : box, WM_GETFONT, 0, 0));
  if (!shown || !GetObjectW(shown, sizeof font, &font))
    return;
  font.lfHeight *= boxScale;
  font.lfWidth *= boxScale;
  boxFont = CreateFontIndirectW(&font);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT place = placeIn(box, child);
    SetWindowPos(child, nullptr, place.left * boxScale, place.top * boxScale,
                 (place.right - place.left) * boxScale, (place.bottom - place.top) * boxScale,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(boxFont), FALSE);
  }
  RECT client{};
  GetClientRect(box, &client);
  grow(box, client.right * (boxScale - 1), client.bottom * (boxScale - 1), false);
  if (!text)
    return;
  const RECT place = placeIn(box, text);
  const SIZE now{place.right - place.left, place.bottom - place.top};
  const SIZE needed = promptSize(text, boxFont, now);
  SetWindowPos(text, nullptr, 0, 0, needed.cx, needed.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  grow(box, needed.cx - now.cx, needed.cy - now.cy, true);
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
    if (boxScale > 1)
      enlarge(box);
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
  boxScale = scale_;
  renamingHook = SetWindowsHookExW(WH_CALLWNDPROCRET, renameButtons, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(owner_, windowsLines(prompt).c_str(),
                                 widen(title.value_or("Obturix")).c_str(), style);
  if (renamingHook)
    UnhookWindowsHookEx(renamingHook);
  renamingHook = nullptr;
  if (boxFont)
    DeleteObject(boxFont);
  boxFont = nullptr;
  if (buttons == MessageButtons::Ok)
    return answerOk;
  return answer == IDYES ? answerYes : answerNo;
}

} // namespace obturix
