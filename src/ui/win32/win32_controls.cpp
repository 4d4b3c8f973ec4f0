#include "ui/win32/win32_controls.h"

#include "text/wide_text_win32.h"
#include "window/control_table.h"

#include <algorithm>
#include <vector>

namespace obturix {

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {

DWORD styleOf(const ControlEntry& entry) {
  // Each control clips the siblings above it: the counter stays above its
  // heading, the controls above their frames.
  constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (entry.kind) {
  case ControlKind::Label: {
    const DWORD align = entry.alignment == Alignment::Right    ? SS_RIGHT
                        : entry.alignment == Alignment::Centre ? SS_CENTER
                                                               : SS_LEFT;
    return child | align | SS_NOPREFIX;
  }
  case ControlKind::TextBox:
    return child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
  case ControlKind::Frame:
    return child | BS_GROUPBOX;
  case ControlKind::PushButton:
    return child | WS_TABSTOP | BS_PUSHBUTTON;
  case ControlKind::CheckBox:
    return child | WS_TABSTOP | BS_AUTOCHECKBOX;
  }
  return child;
}

const wchar_t* classOf(ControlKind kind) {
  switch (kind) {
  case ControlKind::Label:
    return L"STATIC";
  case ControlKind::TextBox:
    return L"EDIT";
  default:
    return L"BUTTON";
  }
}

HWND createControl(HWND window, const ControlEntry& entry, UINT dpi, const Win32Fonts& fonts) {
  TwipsRect at = entry.at;
  if (entry.frame) {
    at.left += entryOf(*entry.frame).at.left;
    at.top += entryOf(*entry.frame).at.top;
  }
  const DWORD extended =
      entry.kind == ControlKind::TextBox || entry.counterLook ? WS_EX_CLIENTEDGE : 0;
  HWND control = CreateWindowExW(
      extended, classOf(entry.kind), widen(entry.caption).c_str(), styleOf(entry),
      pixelsOf(at.left, dpi), pixelsOf(at.top, dpi), pixelsOf(at.width, dpi),
      pixelsOf(at.height, dpi), window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(indexOf(entry.control) + controlIdBase)),
      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT,
               reinterpret_cast<WPARAM>(entry.counterLook ? fonts.counter : fonts.dialog), FALSE);
  if (entry.kind == ControlKind::TextBox)
    SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // no limit of its own
  if (entry.checked)
    SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
  return control;
}

// Top to bottom: the controls in table order (the counter above its
// heading), each field moved just under its label, the frames last.
void stack(const Win32Controls& controls) {
  std::vector<Control> order;
  for (const ControlEntry& entry : mainWindowControls()) {
    if (entry.kind == ControlKind::TextBox)
      continue;
    order.push_back(entry.control);
    for (const ControlEntry& field : mainWindowControls())
      if (field.kind == ControlKind::TextBox && field.labelledBy == entry.control)
        order.push_back(field.control);
  }
  std::stable_partition(order.begin(), order.end(),
                        [](Control c) { return entryOf(c).kind != ControlKind::Frame; });
  for (const Control control : order)
    SetWindowPos(controls[indexOf(control)], HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

Win32Fonts::~Win32Fonts() {
  DeleteObject(dialog);
  DeleteObject(counter);
}

int pixelsOf(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

UINT screenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

Win32Controls createControls(HWND window, const Win32Fonts& fonts, UINT dpi) {
  Win32Controls controls{};
  for (const ControlEntry& entry : mainWindowControls())
    controls[indexOf(entry.control)] = createControl(window, entry, dpi, fonts);
  stack(controls);
  return controls;
}

HWND nextInTabOrder(const Win32Controls& controls, HWND from, bool backwards) {
  std::vector<Control> order = focusOrder();
  if (backwards)
    std::reverse(order.begin(), order.end());
  const auto start = std::find_if(order.begin(), order.end(),
                                  [&](Control c) { return controls[indexOf(c)] == from; });
  const std::size_t first =
      start == order.end() ? 0 : static_cast<std::size_t>(start - order.begin()) + 1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const HWND candidate = controls[indexOf(order[(first + i) % order.size()])];
    if (IsWindowEnabled(candidate))
      return candidate;
  }
  return from;
}

} // namespace obturix
