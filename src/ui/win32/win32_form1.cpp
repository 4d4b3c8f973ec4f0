#include "ui/win32/win32_form1.h"

#include "desktop/shutdown_reason_win32.h"
#include "text/wide_text_win32.h"
#include "ui/win32/win32_hold_input.h"
#include "window/control_table.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <cwchar>
#include <utility>

namespace obturix {

namespace {

constexpr wchar_t windowClass[] = L"ObturixForm1";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; // fixed, close box only

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool isInstalled(const wchar_t* family) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(wanted.lfFaceName, family, LF_FACESIZE - 1);
  bool found = false;
  const HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// "MS Sans Serif" at that size, or the system's dialog font where it is missing.
HFONT dialogFont(int points, LONG weight, UINT dpi) {
  LOGFONTW font{};
  if (isInstalled(L"MS Sans Serif")) {
    std::wcsncpy(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE - 1);
  } else {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = metrics.lfMessageFont;
  }
  font.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
  font.lfWeight = weight;
  font.lfCharSet = ANSI_CHARSET;
  return CreateFontIndirectW(&font);
}

void registerWindowClass() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = DefWindowProcW;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hIcon = LoadIconW(type.hInstance, MAKEINTRESOURCEW(1));
  type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  type.lpszClassName = windowClass;
  RegisterClassExW(&type); // fails harmlessly when already registered
}

void centreOnScreen(HWND window) {
  RECT area{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

Win32Form1::Win32Form1(const Form1Services& services, bool night, bool large)
    : night_(night ? std::make_unique<Win32Night>() : nullptr), form1_(view_, services) {
  registerWindowClass();
  // Twice as large: laid out and lettered as on a screen of twice the dots per inch.
  const UINT dpi = screenDpi() * (large ? 2 : 1);
  fonts_.dialog = dialogFont(8, FW_NORMAL, dpi);
  fonts_.counter = dialogFont(18, FW_BOLD, dpi);
  RECT frame{0, 0, pixelsOf(clientWidthTwips, dpi), pixelsOf(clientHeightTwips, dpi)};
  AdjustWindowRectEx(&frame, windowStyle, FALSE, 0);
  window_ =
      CreateWindowExW(0, windowClass, widen(windowCaption).c_str(), windowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                      nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Form1::procedure));
  boxes_.setOwner(window_);
  controls_ = createControls(window_, fonts_, dpi);
  if (large) {
    boxes_.setScale(2);
    largeTips_ = fonts_.dialog;
  }
  if (night_) {
    night_->dress(window_);
    boxes_.setNight(night_.get());
  }
}

Win32Form1::~Win32Form1() { DestroyWindow(window_); }

void Win32Form1::showModally() {
  form1_.load();
  centreOnScreen(window_);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  // Now rather than beside a series' first press: the shell's first start
  // takes a while, on Wine above all.
  view_.taskbarProgress();
  SetFocus(control(Control::Command1));
  form1_.shown();
  MSG message;
  while (!done_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!dispatchKeyboard(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// Tab and Shift+Tab follow the focus order of the control table; the other
// dialog keys work as in a dialog, but neither Enter nor Escape closes it.
bool Win32Form1::dispatchKeyboard(MSG& message) {
  const bool ours = message.hwnd == window_ || IsChild(window_, message.hwnd);
  if (!ours)
    return false;
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    const HWND next = nextInTabOrder(controls_, GetFocus(), backwards);
    SetFocus(next);
    SendMessageW(next, EM_SETSEL, 0, -1); // a field comes selected, as in a dialog
    return true;
  }
  return IsDialogMessageW(window_, &message);
}

LRESULT CALLBACK Win32Form1::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Win32Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return form ? form->handle(message, wParam, lParam)
              : DefWindowProcW(window, message, wParam, lParam);
}

// A shutdown or a logout during a series shows why the program is busy (the
// reason given when it started) and lets the user choose; if the session ends
// all the same, the series stops and its parameters are saved before the
// system ends the process.
LRESULT Win32Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // The night answers for every colour but the counter's, its own.
  const bool counter =
      message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == control(Control::LabEc);
  if (const auto answered =
          night_ && !counter ? night_->answer(window_, message, wParam, lParam) : std::nullopt)
    return *answered;
  switch (message) {
  case WM_COMMAND:
    command(LOWORD(wParam), HIWORD(wParam));
    return 0;
  case WM_CTLCOLORSTATIC:
    if (counter)
      return counterColours(reinterpret_cast<HDC>(wParam));
    break;
  case WM_LBUTTONDOWN:
    backgroundPressed_ = onBackground(lParam);
    return 0;
  case WM_LBUTTONUP:
    // A click is a press and a release both on the bare background.
    if (std::exchange(backgroundPressed_, false) && onBackground(lParam))
      form1_.backgroundClick();
    return 0;
  case WM_CLOSE:
    if (form1_.mayClose())
      view_.hide();
    return 0;
  case WM_QUERYENDSESSION:
    return form1_.cyclesRunning() ? FALSE : TRUE;
  case WM_ENDSESSION:
    if (wParam)
      form1_.endNow();
    return 0;
  default:
    break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Form1::command(WORD id, WORD code) {
  if (code != BN_CLICKED)
    return;
  const auto clicked = [&](Control c) { return id == indexOf(c) + controlIdBase; };
  if (clicked(Control::Command1))
    form1_.LancerSerie();
  else if (clicked(Control::Command2))
    form1_.quit();
  else if (clicked(Control::ChkMiro))
    form1_.MajMiroir();
}

// The counter on the scheme's highlighted-text colour, its digits in a
// colour that stands out from it, whatever the scheme.
LRESULT Win32Form1::counterColours(HDC dc) const {
  const Colour background =
      night_ ? night_->scheme().highlightedText : schemeColour(GetSysColor(COLOR_HIGHLIGHTTEXT));
  const Colour text =
      night_ ? night_->scheme().windowText : schemeColour(GetSysColor(COLOR_WINDOWTEXT));
  const Colour highlight =
      night_ ? night_->scheme().highlight : schemeColour(GetSysColor(COLOR_HIGHLIGHT));
  SetBkColor(dc, win32Colour(background));
  SetTextColor(dc, win32Colour(counterDigitColour(background, text, highlight)));
  return reinterpret_cast<LRESULT>(night_ ? night_->brush(background)
                                          : GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
}

// Labels and frames let the mouse through to the window: the background is
// where there is no control at all.
bool Win32Form1::onBackground(LPARAM position) const {
  const POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  return ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE) == window_;
}

std::string Win32Form1::View::text(Control textBox) const {
  return narrow(textOf(window_.control(textBox)));
}

void Win32Form1::View::setText(Control textBox, const std::string& text) {
  SetWindowTextW(window_.control(textBox), widen(text).c_str());
}

bool Win32Form1::View::isChecked(Control checkBox) const {
  return SendMessageW(window_.control(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Form1::View::setChecked(Control checkBox, bool checked) {
  SendMessageW(window_.control(checkBox), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Form1::View::setEnabled(Control textBox, bool enabled) {
  EnableWindow(window_.control(textBox), enabled);
}

void Win32Form1::View::setCaption(Control label, const std::string& caption) {
  SetWindowTextW(window_.control(label), windowsLines(caption).c_str());
}

// A label lets the mouse through to the window: its tooltip is the
// window's, over the label's place. Screen readers read the same text as
// the label's description.
void Win32Form1::View::setToolTip(Control control, const std::string& text) {
  HWND& tips = window_.toolTips_;
  if (!tips) {
    tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, window_.window_,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_.night_)
      window_.night_->dressToolTips(tips);
    if (window_.largeTips_)
      SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(window_.largeTips_), FALSE);
  }
  const HWND target = window_.control(control);
  std::wstring wide = widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window_.window_;
  tool.uId = indexOf(control) + controlIdBase;
  GetWindowRect(target, &tool.rect);
  MapWindowPoints(nullptr, window_.window_, reinterpret_cast<POINT*>(&tool.rect), 2);
  tool.lpszText = wide.data();
  SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (!text.empty())
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  constexpr auto client = static_cast<DWORD>(OBJID_CLIENT);
  IAccPropServices* properties = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, reinterpret_cast<void**>(&properties)))) {
    if (text.empty())
      properties->ClearHwndProps(target, client, CHILDID_SELF, &PROPID_ACC_DESCRIPTION, 1);
    else
      properties->SetHwndPropStr(target, client, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                 wide.c_str());
    properties->Release();
  }
}

void Win32Form1::View::repaint() {
  RedrawWindow(window_.window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Form1::View::repaint(Control control) {
  RedrawWindow(window_.control(control), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Win32Form1::View::hide() {
  ShowWindow(window_.window_, SW_HIDE);
  window_.done_ = true;
}

TaskbarProgress& Win32Form1::View::taskbarProgress() {
  if (!progress_)
    progress_ = std::make_unique<Win32TaskbarProgress>(makeTaskbarButton(window_.window_));
  return *progress_;
}

void Win32Form1::View::tellAtOnce(const std::string& text) {
  if (!notices_)
    notices_ = std::make_unique<Win32Notices>(
        window_.window_, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
  notices_->tell(widen(text));
}

// A shutdown or a logout meanwhile tells the user why the program is busy;
// what was told at once leaves the notification area with the series.
void Win32Form1::View::runHoldingInput(const std::function<void(const HandOver&)>& cycles) {
  const ShutdownBlocked blocked(window_.window_);
  obturix::runHoldingInput(cycles);
  if (notices_)
    notices_->seriesOver();
}

} // namespace obturix
