#pragma once

#include "platform/message_boxes.h"

#include <QString>

class QWidget;

namespace obturix {

// Message boxes as QMessageBox: no icon, "Oui"/"Non"/"OK" whatever
// translations are installed, Yes the default, titled "Obturix" by default.
class QtMessageBoxes final : public MessageBoxes {
public:
  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title = std::nullopt) override;

  // The window the boxes are centred on; none by default.
  void setParentWindow(QWidget* parent) { parent_ = parent; }

private:
  QWidget* parent_ = nullptr;
};

// A carriage return alone, as the program builds its texts, is a new line.
QString displayedLines(const std::string& text);

} // namespace obturix
