#include "ui/win32/win32_message_boxes.h"

#include "text/wide_text_win32.h"

namespace obturix {

namespace {

// The boxes of this thread, renamed as each one is activated.
thread_local HHOOK renamingHook = nullptr;

LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(wParam);
    SetDlgItemTextW(box, IDYES, L"Oui");
    SetDlgItemTextW(box, IDNO, L"Non");
    SetDlgItemTextW(box, IDOK, L"OK");
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
  renamingHook = SetWindowsHookExW(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
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
