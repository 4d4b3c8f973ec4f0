#include "ui/win32/win32_night.h"

#include "ui/win32/win32_controls.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>

#include <string>

namespace obturix {

namespace {

constexpr UINT_PTR controlSubclass = 0x4E31, boxSubclass = 0x4E32, tipsSubclass = 0x4E33;
constexpr DWORD darkTitleBar = 20; // DWMWA_USE_IMMERSIVE_DARK_MODE, Windows 10 20H1 on
constexpr const wchar_t* caretProperty = L"ObturixNightCaret";

std::wstring classOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return name;
}

void fill(HDC dc, const RECT& area, Colour colour) {
  SetDCBrushColor(dc, win32Colour(colour));
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void outline(HDC dc, const RECT& area, Colour colour) {
  SetDCBrushColor(dc, win32Colour(colour));
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The focus, in the highlight's red where the system draws it dotted in
// the colour opposite to what lies under it.
void focusFrame(HDC dc, RECT area, Colour colour) {
  const HPEN pen = CreatePen(PS_DOT, 1, win32Colour(colour));
  const HGDIOBJ previousPen = SelectObject(dc, pen);
  const HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, area.left, area.top, area.right, area.bottom);
  SelectObject(dc, previousBrush);
  SelectObject(dc, previousPen);
  DeleteObject(pen);
}

// A control's painting, in its own font, text drawn without a background.
struct Painting {
  explicit Painting(HWND control) : window(control), dc(BeginPaint(control, &paint)) {
    font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    GetClientRect(control, &client);
  }
  ~Painting() {
    SelectObject(dc, font);
    EndPaint(window, &paint);
  }
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;

  HWND window;
  PAINTSTRUCT paint{};
  HDC dc;
  HGDIOBJ font = nullptr;
  RECT client{};
};

void paintPushButton(const ColourScheme& night, Painting& p) {
  const bool pressed = SendMessageW(p.window, BM_GETSTATE, 0, 0) & BST_PUSHED;
  RECT area = p.client;
  fill(p.dc, area, night.button);
  outline(p.dc, area, pressed ? night.dark : night.light);
  if (pressed)
    OffsetRect(&area, 1, 1);
  SetTextColor(p.dc,
               win32Colour(IsWindowEnabled(p.window) ? night.buttonText : night.disabledText));
  DrawTextW(p.dc, textOf(p.window).c_str(), -1, &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (GetFocus() == p.window) {
    InflateRect(&area, -3, -3);
    focusFrame(p.dc, area, night.highlight);
  }
}

void paintCheckBox(const ColourScheme& night, Painting& p) {
  fill(p.dc, p.client, night.window);
  const int size = GetSystemMetrics(SM_CXMENUCHECK);
  const int top = (p.client.top + p.client.bottom - size) / 2;
  const RECT box{p.client.left, top, p.client.left + size, top + size};
  const bool enabled = IsWindowEnabled(p.window);
  fill(p.dc, box, enabled ? night.base : night.window);
  outline(p.dc, box, night.light);
  if (SendMessageW(p.window, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    const HPEN pen = CreatePen(PS_SOLID, 2, win32Colour(night.text));
    const HGDIOBJ previous = SelectObject(p.dc, pen);
    const POINT tick[] = {{box.left + 3, top + size / 2},
                          {box.left + size / 2 - 1, box.bottom - 4},
                          {box.right - 3, box.top + 3}};
    Polyline(p.dc, tick, 3);
    SelectObject(p.dc, previous);
    DeleteObject(pen);
  }
  RECT caption = p.client;
  caption.left += size + 4;
  SetTextColor(p.dc, win32Colour(enabled ? night.windowText : night.disabledText));
  const std::wstring text = textOf(p.window);
  DrawTextW(p.dc, text.c_str(), -1, &caption, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (GetFocus() == p.window) {
    RECT extent = caption;
    DrawTextW(p.dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    OffsetRect(&extent, 0, (caption.bottom - caption.top - (extent.bottom - extent.top)) / 2);
    InflateRect(&extent, 1, 1);
    focusFrame(p.dc, extent, night.highlight);
  }
}

// A frame: its line, and its caption on it.
void paintGroupBox(const ColourScheme& night, Painting& p) {
  fill(p.dc, p.client, night.window);
  TEXTMETRICW metrics{};
  GetTextMetricsW(p.dc, &metrics);
  RECT line = p.client;
  line.top += metrics.tmHeight / 2;
  outline(p.dc, line, night.mid);
  const std::wstring text = textOf(p.window);
  if (text.empty())
    return;
  SIZE extent{};
  GetTextExtentPoint32W(p.dc, text.c_str(), static_cast<int>(text.size()), &extent);
  fill(p.dc, {8, 0, 12 + extent.cx, metrics.tmHeight}, night.window);
  SetTextColor(p.dc, win32Colour(night.windowText));
  TextOutW(p.dc, 10, 0, text.c_str(), static_cast<int>(text.size()));
}

// A single-line field: its text from the first character it shows, the
// selection in the highlight's red while it has the focus.
void paintEdit(const ColourScheme& night, Painting& p) {
  const bool enabled = IsWindowEnabled(p.window);
  fill(p.dc, p.client, enabled ? night.base : night.window);
  RECT area{};
  SendMessageW(p.window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  const std::wstring text = textOf(p.window);
  const auto first = static_cast<std::size_t>(SendMessageW(p.window, EM_GETFIRSTVISIBLELINE, 0, 0));
  DWORD start = 0, end = 0;
  SendMessageW(p.window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  if (GetFocus() != p.window)
    start = end = 0;
  TEXTMETRICW metrics{};
  GetTextMetricsW(p.dc, &metrics);
  int x = area.left;
  const std::size_t cuts[] = {first, std::max<std::size_t>(first, start),
                              std::max<std::size_t>(first, end), text.size()};
  for (std::size_t piece = 0; piece < 3; ++piece) {
    const std::size_t from = std::min(cuts[piece], text.size());
    const std::size_t to = std::min(cuts[piece + 1], text.size());
    if (to <= from)
      continue;
    const int length = static_cast<int>(to - from);
    SIZE extent{};
    GetTextExtentPoint32W(p.dc, text.c_str() + from, length, &extent);
    const bool selected = piece == 1;
    if (selected)
      fill(p.dc, {x, area.top, x + extent.cx, area.top + metrics.tmHeight}, night.highlight);
    SetTextColor(p.dc, win32Colour(selected  ? night.highlightedText
                                   : enabled ? night.text
                                             : night.disabledText));
    ExtTextOutW(p.dc, x, area.top, ETO_CLIPPED, &area, text.c_str() + from,
                static_cast<UINT>(length), nullptr);
    x += extent.cx;
  }
}

// A sunken border (a field's, the counter's) in the night's reds.
void paintBorder(const ColourScheme& night, HWND window) {
  const HDC dc = GetWindowDC(window);
  RECT area{};
  GetWindowRect(window, &area);
  OffsetRect(&area, -area.left, -area.top);
  outline(dc, area, night.dark);
  InflateRect(&area, -1, -1);
  outline(dc, area, night.mid);
  ReleaseDC(window, dc);
}

void forgetCaret(HWND field) {
  if (auto* caret = static_cast<HBITMAP>(RemovePropW(field, caretProperty)))
    DeleteObject(caret);
}

// The system's caret inverts what lies under it: white on the night's
// black. A caret that turns a field's dark red into its text's red instead.
void redCaret(const ColourScheme& night, HWND field) {
  TEXTMETRICW metrics{};
  const HDC dc = GetDC(field);
  const HGDIOBJ font =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(field, WM_GETFONT, 0, 0)));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, font);
  const HBITMAP caret = CreateCompatibleBitmap(dc, 1, metrics.tmHeight);
  const HDC drawing = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(drawing, caret);
  fill(drawing, {0, 0, 1, metrics.tmHeight},
       {static_cast<std::uint8_t>(night.base.red ^ night.text.red), 0, 0});
  SelectObject(drawing, previous);
  DeleteDC(drawing);
  ReleaseDC(field, dc);
  POINT at{};
  GetCaretPos(&at);
  if (CreateCaret(field, caret, 0, 0)) {
    SetCaretPos(at.x, at.y);
    ShowCaret(field);
  }
  forgetCaret(field);
  SetPropW(field, caretProperty, caret);
}

// What the system paints at once, outside WM_PAINT, when a button's state
// changes: done with drawing switched off, then painted by WM_PAINT.
bool changesState(UINT message) {
  switch (message) {
  case BM_SETSTATE:
  case BM_SETCHECK:
  case BM_SETSTYLE:
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
  case WM_ENABLE:
  case WM_SETTEXT:
  case WM_UPDATEUISTATE:
    return true;
  default:
    return false;
  }
}

// A field, a frame, a check box or a push button, in the night's colours.
void paintControl(const ColourScheme& night, HWND window, bool field, LONG_PTR type) {
  Painting painting(window);
  if (field)
    paintEdit(night, painting);
  else if (type == BS_GROUPBOX)
    paintGroupBox(night, painting);
  else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
    paintCheckBox(night, painting);
  else
    paintPushButton(night, painting);
}

// What the system does with a message, but for a button whose state
// changes (its own repaint would flash in the day's colours: it is painted
// again in the night's) and a field taking the focus (its caret red).
LRESULT passOn(const ColourScheme& night, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
               bool button, bool field) {
  if (button && changesState(message)) {
    DefSubclassProc(window, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    DefSubclassProc(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
    return result;
  }
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (field && message == WM_SETFOCUS)
    redCaret(night, window);
  else if (field && message == WM_KILLFOCUS)
    forgetCaret(window);
  return result;
}

LRESULT CALLBACK nightControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
  const auto& night = reinterpret_cast<const Win32Night*>(data)->scheme();
  const std::wstring kind = classOf(window);
  const bool button = lstrcmpiW(kind.c_str(), L"Button") == 0;
  const bool field = lstrcmpiW(kind.c_str(), L"Edit") == 0;
  const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
  switch (message) {
  case WM_NCPAINT:
    if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
      paintBorder(night, window);
      return 0;
    }
    break;
  case WM_ERASEBKGND:
    if (button || field)
      return 1;
    break;
  case WM_PAINT:
    if (button || field) {
      paintControl(night, window, field, type);
      return 0;
    }
    break;
  case WM_NCDESTROY:
    forgetCaret(window);
    RemoveWindowSubclass(window, nightControl, controlSubclass);
    break;
  default:
    break;
  }
  return passOn(night, window, message, wParam, lParam, button, field);
}

LRESULT CALLBACK nightBox(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
  if (const auto answered =
          reinterpret_cast<const Win32Night*>(data)->answer(box, message, wParam, lParam))
    return *answered;
  if (message == WM_NCDESTROY)
    RemoveWindowSubclass(box, nightBox, boxSubclass);
  return DefSubclassProc(box, message, wParam, lParam);
}

// A tooltip's one-pixel frame, which the system draws in its own grey.
LRESULT CALLBACK nightTips(HWND tips, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
  if (message == WM_NCPAINT) {
    const HDC dc = GetWindowDC(tips);
    RECT area{};
    GetWindowRect(tips, &area);
    OffsetRect(&area, -area.left, -area.top);
    outline(dc, area, reinterpret_cast<const ColourScheme*>(data)->mid);
    ReleaseDC(tips, dc);
    return 0;
  }
  if (message == WM_NCDESTROY)
    RemoveWindowSubclass(tips, nightTips, tipsSubclass);
  return DefSubclassProc(tips, message, wParam, lParam);
}

BOOL CALLBACK dressChild(HWND child, LPARAM night) {
  SetWindowTheme(child, L"", L"");
  SetWindowSubclass(child, nightControl, controlSubclass, static_cast<DWORD_PTR>(night));
  SetWindowPos(child, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

} // namespace

Win32Night::Win32Night()
    : scheme_(nightScheme()), window_(CreateSolidBrush(win32Colour(scheme_.window))),
      base_(CreateSolidBrush(win32Colour(scheme_.base))),
      highlightedText_(CreateSolidBrush(win32Colour(scheme_.highlightedText))) {}

Win32Night::~Win32Night() {
  for (HBRUSH brush : {window_, base_, highlightedText_})
    DeleteObject(brush);
}

HBRUSH Win32Night::brush(Colour colour) const {
  return colour == scheme_.base              ? base_
         : colour == scheme_.highlightedText ? highlightedText_
                                             : window_;
}

void Win32Night::dress(HWND window) const {
  const BOOL dark = TRUE;
  DwmSetWindowAttribute(window, darkTitleBar, &dark, sizeof dark); // where the system has it
  EnumChildWindows(window, dressChild, reinterpret_cast<LPARAM>(this));
}

void Win32Night::dressBox(HWND box) const {
  dress(box);
  SetWindowSubclass(box, nightBox, boxSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void Win32Night::dressToolTips(HWND tips) const {
  SetWindowTheme(tips, L"", L""); // a themed tooltip ignores the colours below
  SendMessageW(tips, TTM_SETTIPBKCOLOR, win32Colour(scheme_.button), 0);
  SendMessageW(tips, TTM_SETTIPTEXTCOLOR, win32Colour(scheme_.text), 0);
  SetWindowSubclass(tips, nightTips, tipsSubclass, reinterpret_cast<DWORD_PTR>(&scheme_));
}

std::optional<LRESULT> Win32Night::answer(HWND window, UINT message, WPARAM wParam, LPARAM) const {
  const auto dc = reinterpret_cast<HDC>(wParam);
  switch (message) {
  case WM_ERASEBKGND: {
    RECT area{};
    GetClientRect(window, &area);
    FillRect(dc, &area, window_);
    return 1;
  }
  case WM_CTLCOLORDLG:
  case WM_CTLCOLORSTATIC:
  case WM_CTLCOLORBTN:
    SetTextColor(dc, win32Colour(scheme_.windowText));
    SetBkColor(dc, win32Colour(scheme_.window));
    return reinterpret_cast<LRESULT>(window_);
  case WM_CTLCOLOREDIT:
    SetTextColor(dc, win32Colour(scheme_.text));
    SetBkColor(dc, win32Colour(scheme_.base));
    return reinterpret_cast<LRESULT>(base_);
  default:
    return std::nullopt;
  }
}

} // namespace obturix
