#include "ui/qt/qt_message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace obturix {

QString displayedLines(const std::string& text) {
  QString lines = QString::fromStdString(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return lines;
}

int QtMessageBoxes::show(const std::string& prompt, MessageButtons buttons,
                         const std::optional<std::string>& title) {
  QMessageBox box(parent_);
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(QString::fromStdString(title.value_or("Obturix")));
  box.setTextFormat(Qt::PlainText);
  box.setText(displayedLines(prompt));
  if (buttons == MessageButtons::Ok) {
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return answerOk;
  }
  QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
  box.setDefaultButton(buttons == MessageButtons::YesNoDefaultNo ? no : yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? answerYes : answerNo;
}

} // namespace obturix
