#include "ui/dialog_font.h"
#include "ui/form1.h"

#include <QApplication>

#include <memory>

// Start-up: the main window shown modally; when it is hidden or closed the
// process ends.
int main(int argc, char **argv) {
  QApplication application(argc, argv);
  obturix::useDialogFont(application);
  auto form = std::make_unique<obturix::Form1>();
  form->exec();
  [[maybe_unused]] const bool cancelled = form->annulation();
  form.reset();
  return 0;
}
