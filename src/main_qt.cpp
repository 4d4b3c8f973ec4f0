#include "ui/qt/qt_application.h"
#include "ui/qt/qt_form1.h"
#include "window/module1.h"

#include <QApplication>

namespace obturix {

// Start-up: creates the main window, shows it modally with no owner, reads
// `annulation` once the window is hidden or closed, and drops the window;
// the process then ends.
void Main(Module1& module) {
  auto form = std::make_unique<QtForm1>(module.cycle, *module.portCheck, module.settings);
  form->exec();
  [[maybe_unused]] const bool cancelled = form->behaviour().annulation(); // ends whatever it holds
  form.reset();
}

} // namespace obturix

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  obturix::setUpApplication(application);
  obturix::Module1 module;
  obturix::Main(module);
  return 0;
}
