#pragma once

#include "desktop/desktop_notices_win32.h"
#include "desktop/taskbar_progress_win32.h"
#include "ui/win32/win32_controls.h"
#include "ui/win32/win32_message_boxes.h"
#include "ui/win32/win32_night.h"
#include "window/form1.h"

#include <memory>

namespace obturix {

// The main window in Win32: the controls from the control table, their
// events handed to the window's behaviour, and the operations it asks for.
class Win32Form1 {
public:
  // With `night`, the window and its boxes in night vision; with `large`,
  // the window, its boxes and its counter twice as large.
  explicit Win32Form1(const Form1Services& services, bool night = false, bool large = false);
  ~Win32Form1();
  Win32Form1(const Win32Form1&) = delete;
  Win32Form1& operator=(const Win32Form1&) = delete;

  // Loads the window, shows it centred on the screen and handles its events
  // until it is hidden ("Quitter") or closed.
  void showModally();
  Form1& behaviour() { return form1_; }
  HWND handle() const { return window_; }

private:
  class View final : public Form1View {
  public:
    explicit View(Win32Form1& window) : window_(window) {}
    std::string text(Control textBox) const override;
    void setText(Control textBox, const std::string& text) override;
    bool isChecked(Control checkBox) const override;
    void setChecked(Control checkBox, bool checked) override;
    void setEnabled(Control textBox, bool enabled) override;
    void setCaption(Control label, const std::string& caption) override;
    void setToolTip(Control control, const std::string& text) override;
    void repaint() override;
    void repaint(Control control) override;
    void hide() override;
    MessageBoxes& messageBoxes() override { return window_.boxes_; }
    // Made once the window exists: its task bar button is the window's.
    TaskbarProgress& taskbarProgress() override;
    void tellAtOnce(const std::string& text) override;
    void runHoldingInput(const std::function<void(const HandOver&)>& cycles) override;

  private:
    Win32Form1& window_;
    std::unique_ptr<Win32TaskbarProgress> progress_;
    std::unique_ptr<Win32Notices> notices_;
  };

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void command(WORD id, WORD code);
  bool onBackground(LPARAM position) const;
  LRESULT counterColours(HDC dc) const;
  bool dispatchKeyboard(MSG& message);
  HWND control(Control c) const { return controls_[indexOf(c)]; }

  std::unique_ptr<Win32Night> night_; // in night vision
  Win32Fonts fonts_;
  HFONT largeTips_ = nullptr; // the tooltips' font when twice as large (one of fonts_)
  HWND window_ = nullptr;
  Win32Controls controls_{};
  HWND toolTips_ = nullptr;
  Win32MessageBoxes boxes_;
  View view_{*this};
  Form1 form1_;
  bool done_ = false;
  bool backgroundPressed_ = false;
};

} // namespace obturix
