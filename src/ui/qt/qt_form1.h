#pragma once

#include "ui/qt/before_exit.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_message_boxes.h"
#include "desktop/desktop_notices_posix.h"
#include "window/form1.h"
#include "desktop/launcher_entry_posix.h"

#include <QDialog>

namespace obturix {

class TerminationSignals;

// The main window in Qt: the controls from the control table, their events
// handed to the window's behaviour, and the operations it asks for.
class QtForm1 final : public QDialog {
  Q_OBJECT

public:
  // With `endSignals`, a termination signal stops a series under way first.
  explicit QtForm1(const Form1Services& services, TerminationSignals* endSignals = nullptr);

  // Loads the window (on its first showing) and handles its events until it
  // is hidden ("Quitter") or closed.
  void showModally() { exec(); }
  Form1& behaviour() { return form1_; }
  QWidget& widget(Control control) const { return *controls_[indexOf(control)]; }

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  // The operations the behaviour asks for, on this window's widgets.
  class View final : public Form1View {
  public:
    explicit View(QtForm1& window) : window_(window), boxes_(&window) {}
    std::string text(Control textBox) const override;
    void setText(Control textBox, const std::string& text) override;
    bool isChecked(Control checkBox) const override;
    void setChecked(Control checkBox, bool checked) override;
    void setEnabled(Control textBox, bool enabled) override;
    void setCaption(Control label, const std::string& caption) override;
    void setToolTip(Control control, const std::string& text) override;
    void repaint() override { window_.repaint(); }
    void repaint(Control control) override { window_.widget(control).repaint(); }
    void hide() override { window_.hide(); }
    MessageBoxes& messageBoxes() override { return boxes_; }
    TaskbarProgress& taskbarProgress() override { return *progress_; }
    void tellAtOnce(const std::string& text) override;
    void runHoldingInput(const std::function<void(const HandOver&)>& cycles) override;

  private:
    template <class Widget> Widget& as(Control control) const;

    QtForm1& window_;
    QtMessageBoxes boxes_;
    std::unique_ptr<TaskbarProgress> progress_ = makeLauncherEntryProgress();
    std::unique_ptr<DesktopNotices> notices_ = makeDesktopNotices();
  };

  bool isBackground(const QPointF& position) const;
  void endOn(TerminationSignals& endSignals);
  void endWithoutDisplay();

  QtControls controls_;
  View view_{*this};
  Form1 form1_;
  BeforeExit beforeExit_{[this] { endWithoutDisplay(); }};
  bool loaded_ = false;
  bool backgroundPressed_ = false;
};

} // namespace obturix
