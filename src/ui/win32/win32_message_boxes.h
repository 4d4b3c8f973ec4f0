#pragma once

#include "window/message_boxes.h"

#include <windows.h>

namespace obturix {

// Message boxes as MessageBox: no icon, Yes the default unless No is asked
// for, titled "Obturix" unless given, buttons reading "Oui", "Non" and "OK" whatever the system's
// language; each carriage return starts a new line.
class Win32MessageBoxes final : public MessageBoxes {
public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }

  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title = std::nullopt) override;

private:
  HWND owner_;
};

} // namespace obturix
