#include "ui/dialog_font.h"
#include "ui/module1.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  obturix::useDialogFont(application);
  obturix::Module1 module;
  obturix::Main(module);
  return 0;
}
