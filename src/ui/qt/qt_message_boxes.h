#pragma once

#include "window/message_boxes.h"

#include <QString>

class QWidget;

namespace obturix {

// Message boxes as QMessageBox: no icon, "Oui"/"Non"/"OK" whatever
// translations are installed, Yes the default unless No is asked for, titled
// "Obturix" by default.
class QtMessageBoxes final : public MessageBoxes {
public:
  // Boxes centred on `parent`, or on the screen when there is none.
  explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title = std::nullopt) override;

private:
  QWidget* parent_;
};

// A carriage return alone, as the program builds its texts, is a new line.
QString displayedLines(const std::string& text);

} // namespace obturix
