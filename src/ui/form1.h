#pragma once

#include "exposure/series.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace obturix {

class ExposureCycle;
class MessageBoxes;
class RegistrySettingsStore;

// The main window: the parameters of a series, "Lancer " and "Quitter",
// and the counter of the exposure in progress.
class Form1 : public QDialog {
  Q_OBJECT

public:
  Form1(ExposureCycle& cycle, MessageBoxes& boxes, RegistrySettingsStore& settings,
        QWidget* parent = nullptr);

  // True from the end of loading until "Lancer " is pressed.
  bool annulation() const { return bAnnulation_; }

  // The click handler of "Lancer ": checks, confirms and runs a series.
  void LancerSerie();
  // Enables the mirror timing fields exactly when the mirror box is checked.
  void MajMiroir();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void load();
  SeriesParams captureSeriesParams() const;
  void ChargerParams();
  void SauverParams();
  bool isBackground(const QPointF& position) const;

  template <class Control> Control& control(const char* name) const;

  ExposureCycle& cycle_;
  MessageBoxes& boxes_;
  RegistrySettingsStore& settings_;
  bool bAnnulation_ = false;
  bool loaded_ = false;
  bool busy_ = false;           // a series (or its boxes) is under way
  bool closeRequested_ = false; // the close box was used while busy
  bool backgroundPressed_ = false;
};

// The welcome text shown in Label4, lines separated by carriage returns.
extern const char* const welcomeText;

} // namespace obturix
