#include "ui/qt/qt_application.h"
#include "ui/qt/qt_form1.h"
#include "window/module1.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  obturix::setUpApplication(application);
  obturix::Module1 module;
  obturix::Main<obturix::QtForm1>(module);
  return 0;
}
