#pragma once

#include <QDialog>

namespace obturix {

// The main window: the parameters of a series, "Lancer " and "Quitter",
// and the counter of the exposure in progress.
class Form1 : public QDialog {
  Q_OBJECT

public:
  explicit Form1(QWidget *parent = nullptr);

  // False until the window has loaded; the series sets it back to False.
  bool annulation() const { return bAnnulation_; }

private:
  bool bAnnulation_ = false;
};

} // namespace obturix
