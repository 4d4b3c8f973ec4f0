#include "ui/form1.h"

#include "exposure/exposure_cycle.h"
#include "platform/message_boxes.h"
#include "settings/registry_store.h"
#include "settings/window_settings.h"
#include "ui/main_window_layout.h"
#include "ui/qt_message_boxes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace obturix {

const char* const welcomeText =
    "Bonjour,\r\rbienvenue dans Obturix !\r\r V1.0.0 et c'est pas la dernière";

namespace {

std::string textOf(const QLineEdit& field) { return field.text().toStdString(); }

bool isChecked(const QCheckBox& box) { return box.checkState() == Qt::Checked; }

// Draws every digit once in the counter's font, off screen: the first
// drawing of a glyph can take several milliseconds, which would otherwise
// lengthen the pause before the next press.
void warmUpCounterFont(const QLabel& counter) {
  QImage scratch(counter.size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&scratch);
  painter.setFont(counter.font());
  painter.drawText(scratch.rect(), Qt::AlignCenter, QStringLiteral("0123456789"));
}

} // namespace

template <class Control> Control& Form1::control(const char* name) const {
  return *findChild<Control*>(QString::fromLatin1(name));
}

Form1::Form1(ExposureCycle& cycle, MessageBoxes& boxes, RegistrySettingsStore& settings,
             QWidget* parent)
    : QDialog(parent), cycle_(cycle), boxes_(boxes), settings_(settings) {
  setWindowTitle(QStringLiteral("Obturix"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  createMainWindowControls(*this);
  connect(&control<QPushButton>("Command1"), &QPushButton::clicked, this, &Form1::LancerSerie);
  connect(&control<QPushButton>("Command2"), &QPushButton::clicked, this, &QWidget::hide);
  connect(&control<QCheckBox>("ChkMiro"), &QCheckBox::clicked, this, &Form1::MajMiroir);
  control<QPushButton>("Command1").setFocus();
}

void Form1::showEvent(QShowEvent* event) {
  if (!loaded_) {
    loaded_ = true;
    load();
  }
  QDialog::showEvent(event);
}

void Form1::load() {
  control<QLabel>("Label4").setText(displayedLines(welcomeText));
  ChargerParams();
  bAnnulation_ = true;
}

void Form1::MajMiroir() {
  const bool raise = isChecked(control<QCheckBox>("ChkMiro"));
  control<QLineEdit>("Text6").setEnabled(raise);
  control<QLineEdit>("Text7").setEnabled(raise);
}

SeriesParams Form1::captureSeriesParams() const {
  SeriesParams params;
  params.count = textOf(control<QLineEdit>("Text1"));
  params.exposure = textOf(control<QLineEdit>("Text2"));
  params.interval = textOf(control<QLineEdit>("Text3"));
  params.mirror = isChecked(control<QCheckBox>("ChkMiro")) ? answerYes : answerNo;
  params.port = textOf(control<QLineEdit>("Text5"));
  params.pulse = textOf(control<QLineEdit>("Text6"));
  params.settle = textOf(control<QLineEdit>("Text7"));
  return params;
}

void Form1::LancerSerie() {
  busy_ = true;
  bAnnulation_ = false;
  const SeriesParams params = captureSeriesParams();
  auto& counter = control<QLabel>("LabEc");
  const auto& popups = control<QCheckBox>("ChkAffichePoppup");

  if (const auto refusal = seriesRefusal(params)) {
    boxes_.show(*refusal, MessageButtons::Ok);
  } else {
    const bool confirmed =
        !isChecked(popups) || boxes_.show(confirmationPrompt(params), MessageButtons::YesNo,
                                          confirmationTitle) == answerYes;
    if (confirmed) {
      warmUpCounterFont(counter);
      repaint();
      const std::int64_t cycles = *cycleCount(params.count);
      for (std::int64_t i = 1; i <= cycles; ++i) {
        counter.setText(QString::number(i));
        // Only the counter changes: repainting it alone keeps the pause
        // before the next press from growing by a whole window's repaint.
        counter.repaint();
        cycle_.FairePause(params.mirror, params.exposure, params.interval, params.port,
                          params.pulse, params.settle);
      }
      SauverParams();
    }
    if (isChecked(popups))
      boxes_.show(endNotice, MessageButtons::Ok);
    counter.setText(QStringLiteral("0"));
  }
  busy_ = false;
  if (closeRequested_)
    close();
}

// Restores the parameters of the last series. A value that cannot be read
// as a text leaves its field as it is.
void Form1::ChargerParams() {
  for (const WindowSetting& setting : windowSettings()) {
    Variant value;
    settings_.LireParam(settingsKeySuffix, setting.valueName, regSz, value);
    const std::string* text = value.text();
    if (!text)
      continue;
    if (setting.control == std::string_view("ChkMiro")) {
      control<QCheckBox>("ChkMiro").setChecked(isCheckedState(*text));
      MajMiroir();
    } else {
      control<QLineEdit>(setting.control).setText(QString::fromStdString(*text));
    }
  }
}

// Saves the parameters for the next run; a value that cannot be written
// keeps its older one and does not stop the others.
void Form1::SauverParams() {
  for (const WindowSetting& setting : windowSettings()) {
    const std::string text = setting.control == std::string_view("ChkMiro")
                                 ? (isChecked(control<QCheckBox>("ChkMiro")) ? "1" : "0")
                                 : textOf(control<QLineEdit>(setting.control));
    settings_.EcrireParam(settingsKeySuffix, setting.valueName, regSz, text);
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // The close box during a series closes the window once the series is over.
    closeRequested_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
  // Escape does not close this window, as it would close a dialog.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool Form1::isBackground(const QPointF& position) const {
  return childAt(position.toPoint()) == nullptr && rect().contains(position.toPoint());
}

void Form1::mousePressEvent(QMouseEvent* event) {
  backgroundPressed_ = event->button() == Qt::LeftButton && isBackground(event->position());
  QDialog::mousePressEvent(event);
}

// A click is a press and a release both on the bare background; one on a
// label or a frame reaches the window too, but is not a click on it.
void Form1::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      backgroundPressed_ && event->button() == Qt::LeftButton && isBackground(event->position());
  backgroundPressed_ = false;
  QDialog::mouseReleaseEvent(event);
  if (click)
    boxes_.show("click", MessageButtons::Ok);
}

} // namespace obturix
