#include "ui/qt/qt_application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace obturix {

namespace {

void useDialogFont(QApplication& application) {
  const QStringList installed = QFontDatabase::families();
  QFont font = application.font();
  for (const char* family : {"Liberation Sans", "Arial", "Arimo", "Helvetica"}) {
    if (installed.contains(QString::fromLatin1(family))) {
      font.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  font.setPointSize(8);
  application.setFont(font);
}

void speakFrench(QApplication& application) {
  auto* translator = new QTranslator(&application);
  if (translator->load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
}

// The desktop entry's name, so that docks and task bars match the window
// to its launcher (the Wayland app id and the X11 class follow it); the
// icon of the desktop's theme, or the program's own.
void identifyWithTheLauncher(QApplication& application) {
  QGuiApplication::setDesktopFileName(QStringLiteral("org.obturix.Obturix"));
  QIcon own;
  for (const int size : {16, 24, 32, 48, 64, 128, 256})
    own.addFile(QStringLiteral(":/icons/%1x%1/obturix.png").arg(size), QSize(size, size));
  application.setWindowIcon(QIcon::fromTheme(QStringLiteral("obturix"), own));
}

} // namespace

void setUpApplication(QApplication& application) {
  identifyWithTheLauncher(application);
  useDialogFont(application);
  // The classic style draws a frame's caption on its border, where the
  // controls inside the frames were placed to leave room for it.
  if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
    application.setStyle(classic);
  speakFrench(application);
}

} // namespace obturix
