#include "ui/qt/qt_application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
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

} // namespace

void setUpApplication(QApplication& application) {
  useDialogFont(application);
  // The classic style draws a frame's caption on its border, where the
  // controls inside the frames were placed to leave room for it.
  if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
    application.setStyle(classic);
  speakFrench(application);
}

} // namespace obturix
