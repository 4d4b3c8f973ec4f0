#include "ui/form1.h"

#include "ui/main_window_layout.h"

#include <QPushButton>

namespace obturix {

Form1::Form1(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Obturix"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  createMainWindowControls(*this);
  findChild<QPushButton *>(QStringLiteral("Command1"))->setFocus();
}

} // namespace obturix
