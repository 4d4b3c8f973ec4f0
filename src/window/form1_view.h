#pragma once

#include "desktop/taskbar_progress.h"
#include "threads/timing_thread.h"
#include "window/control.h"
#include "window/message_boxes.h"

#include <functional>
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
  // A control's tooltip, also its description for screen readers; none
  // when empty.
  virtual void setToolTip(Control control, const std::string& text) = 0;

  // Paints the whole window, or one control, at once.
  virtual void repaint() = 0;
  virtual void repaint(Control control) = 0;
  // Hides the window, which ends its modal display.
  virtual void hide() = 0;
  // Modal message boxes over this window.
  virtual MessageBoxes& messageBoxes() = 0;
  // The series' progress on the window's task bar entry.
  virtual TaskbarProgress& taskbarProgress() = 0;
  // Tells at once, while a series goes on, what cannot wait for its end (a
  // press that could not be made): a notification of the desktop's, the
  // window asking for attention. Never waits for the desktop.
  virtual void tellAtOnce(const std::string& text) = 0;
  // Runs `cycles` on a timing thread of raised priority, where the toolkit
  // has one, while the window stays painted and holds clicks and keys until
  // it is done, but answers a request to close it (mayClose, which may stop
  // the cycles); returns when `cycles` has. What the window must show
  // meanwhile goes through the HandOver it is given.
  virtual void runHoldingInput(const std::function<void(const HandOver&)>& cycles) = 0;
};

} // namespace obturix
