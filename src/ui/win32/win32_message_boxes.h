#pragma once

#include "ui/win32/win32_night.h"
#include "window/message_boxes.h"

#include <windows.h>

namespace obturix {

// Message boxes as MessageBox: no icon, Yes the default unless No is asked
// for, titled "Obturix" unless given, buttons reading "Oui", "Non" and "OK"
// whatever the system's language; each carriage return starts a new line.
class Win32MessageBoxes final : public MessageBoxes {
public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }
  // Each box in night vision, from now on.
  void setNight(const Win32Night* night) { night_ = night; }
  // Each box `scale` times as large, from now on: its text, its buttons and
  // itself.
  void setScale(int scale) { scale_ = scale; }

  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title = std::nullopt) override;

private:
  HWND owner_;
  const Win32Night* night_ = nullptr;
  int scale_ = 1;
};

} // namespace obturix
