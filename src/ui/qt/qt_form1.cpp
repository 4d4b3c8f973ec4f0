#include "ui/qt/qt_form1.h"

#include "text/french.h"
#include "ui/qt/hold_input.h"
#include "threads/termination_signals_posix.h"
#include "window/control_table.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSocketNotifier>

#include <cstdio>

namespace obturix {

namespace {

// Draws every digit once in the counter's font, off screen: the first
// drawing of a glyph can take several milliseconds, which would otherwise
// lengthen the pause before the next press.
void warmUpCounterFont(const QWidget& counter) {
  QImage scratch(counter.size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&scratch);
  painter.setFont(counter.font());
  painter.drawText(scratch.rect(), Qt::AlignCenter, QStringLiteral("0123456789"));
}

} // namespace

QtForm1::QtForm1(const Form1Services& services, TerminationSignals* endSignals)
    : controls_(createControls(*this)), form1_(view_, services) {
  setWindowTitle(
      QString::fromUtf8(windowCaption.data(), static_cast<qsizetype>(windowCaption.size())));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  connect(static_cast<QPushButton*>(&widget(Control::Command1)), &QPushButton::clicked, this,
          [this] { form1_.LancerSerie(); });
  connect(static_cast<QPushButton*>(&widget(Control::Command2)), &QPushButton::clicked, this,
          [this] { form1_.quit(); });
  connect(static_cast<QCheckBox*>(&widget(Control::ChkMiro)), &QCheckBox::clicked, this,
          [this] { form1_.MajMiroir(); });
  warmUpCounterFont(widget(Control::LabEc));
  widget(Control::Command1).setFocus();
  if (endSignals && endSignals->descriptor() >= 0) {
    auto* notifier = new QSocketNotifier(endSignals->descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this,
            [this, endSignals] { endOn(*endSignals); });
  }
}

// During a series the signal stops it, its parameters saved, and the window
// closes once it is over; otherwise the program ends as the signal would
// have ended it.
void QtForm1::endOn(TerminationSignals& endSignals) {
  const int signal = endSignals.take();
  if (signal == 0)
    return;
  if (!form1_.endNow())
    TerminationSignals::endAs(signal);
  // The question to stop the series, if it is open, would hold the end.
  if (QWidget* box = QApplication::activeModalWidget(); box && box != this)
    box->close();
}

// Qt ends the program when its display goes: a series under way ends first
// as the system's stop ends it, its journal and its parameters kept.
void QtForm1::endWithoutDisplay() {
  if (form1_.endBeforeExit())
    std::fputs(typeset("Obturix : l'affichage a été perdu pendant une série de poses ; elle a été "
                       "arrêtée, son journal fermé et ses paramètres enregistrés.\n")
                   .c_str(),
               stderr);
}

// The control table says which widget each control is; the behaviour's
// tests check that it uses each operation on its kind of control only.
template <class Widget> Widget& QtForm1::View::as(Control control) const {
  return static_cast<Widget&>(window_.widget(control));
}

std::string QtForm1::View::text(Control textBox) const {
  return as<QLineEdit>(textBox).text().toStdString();
}

void QtForm1::View::setText(Control textBox, const std::string& text) {
  as<QLineEdit>(textBox).setText(QString::fromStdString(text));
}

bool QtForm1::View::isChecked(Control checkBox) const {
  return as<QCheckBox>(checkBox).checkState() == Qt::Checked;
}

void QtForm1::View::setChecked(Control checkBox, bool checked) {
  as<QCheckBox>(checkBox).setChecked(checked);
}

void QtForm1::View::setEnabled(Control textBox, bool enabled) {
  window_.widget(textBox).setEnabled(enabled);
}

void QtForm1::View::runHoldingInput(const std::function<void(const HandOver&)>& cycles) {
  obturix::runHoldingInput(cycles);
}

void QtForm1::View::setCaption(Control label, const std::string& caption) {
  as<QLabel>(label).setText(displayedLines(caption));
}

// A notification, and the window's urgency hint: the dock and the task bar
// mark it until it is looked at.
void QtForm1::View::tellAtOnce(const std::string& text) {
  notices_->tell(text);
  QApplication::alert(&window_);
}

void QtForm1::View::setToolTip(Control control, const std::string& text) {
  QWidget& widget = window_.widget(control);
  widget.setToolTip(QString::fromStdString(text));
  widget.setAccessibleDescription(QString::fromStdString(text));
}

void QtForm1::showEvent(QShowEvent* event) {
  if (!loaded_) {
    loaded_ = true;
    form1_.load();
    // Its boxes over the window, once it is there.
    QMetaObject::invokeMethod(
        this, [this] { form1_.shown(); }, Qt::QueuedConnection);
  }
  QDialog::showEvent(event);
}

void QtForm1::closeEvent(QCloseEvent* event) {
  if (form1_.mayClose())
    QDialog::closeEvent(event);
  else
    event->ignore();
}

void QtForm1::keyPressEvent(QKeyEvent* event) {
  // Escape does not close this window, as it would close a dialog.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool QtForm1::isBackground(const QPointF& position) const {
  return childAt(position.toPoint()) == nullptr && rect().contains(position.toPoint());
}

void QtForm1::mousePressEvent(QMouseEvent* event) {
  backgroundPressed_ = event->button() == Qt::LeftButton && isBackground(event->position());
  QDialog::mousePressEvent(event);
}

// A click is a press and a release both on the bare background; one on a
// label or a frame reaches the window too, but is not a click on it.
void QtForm1::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      backgroundPressed_ && event->button() == Qt::LeftButton && isBackground(event->position());
  backgroundPressed_ = false;
  QDialog::mouseReleaseEvent(event);
  if (click)
    form1_.backgroundClick();
}

} // namespace obturix
