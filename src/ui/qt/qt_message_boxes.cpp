#include "ui/qt/qt_message_boxes.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace obturix {

namespace {

// The window manager draws the title in its own font, most often the
// desktop's title font in bold (not the window's smaller one), beside an
// icon and up to three buttons: QMessageBox
// sizes itself from its text alone and would cut a long title. A spacer
// across its grid keeps it at least that wide (setMinimumWidth is undone
// by its own layout).
void makeRoomForTitle(QMessageBox& box) {
  QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  titleFont.setBold(true);
  const QFontMetrics metrics(titleFont);
  int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
  if (const QScreen* screen = box.screen())
    width = std::min(width, screen->availableGeometry().width() * 9 / 10);
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

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
  makeRoomForTitle(box);
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
