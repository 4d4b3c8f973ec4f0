#pragma once

#include "platform/message_boxes.h"
#include "window/control.h"

#include <string>

namespace obturix {

// What the window's behaviour asks of a toolkit's window: the operations on
// its controls, named by Control, each for the kind of control it names.
// Texts are UTF-8; a carriage return in a caption starts a new line.
class Form1View {
public:
  virtual ~Form1View() = default;

  virtual std::string text(Control textBox) const = 0;
  virtual void setText(Control textBox, const std::string& text) = 0;
  virtual bool isChecked(Control checkBox) const = 0;
  virtual void setChecked(Control checkBox, bool checked) = 0;
  virtual void setEnabled(Control textBox, bool enabled) = 0;
  virtual void setCaption(Control label, const std::string& caption) = 0;

  // Paints the whole window, or one control, at once.
  virtual void repaint() = 0;
  virtual void repaint(Control control) = 0;
  // Hides the window, which ends its modal display.
  virtual void hide() = 0;
  // Modal message boxes over this window.
  virtual MessageBoxes& messageBoxes() = 0;
};

} // namespace obturix
