#include "exposure/exposure_cycle.h"
#include "platform/registry.h"
#include "platform/serial_port.h"
#include "settings/registry_store.h"
#include "ui/dialog_font.h"
#include "ui/event_loop_sleeper.h"
#include "ui/form1.h"
#include "ui/qt_message_boxes.h"

#include <QApplication>

#include <memory>

// Start-up: the main window shown modally; when it is hidden or closed the
// process ends.
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  obturix::useDialogFont(application);

  // The platform services, owned here for the life of the process.
  const auto ports = obturix::makeSystemSerialPortServiceFactory();
  obturix::EventLoopSleeper sleeper;
  obturix::QtMessageBoxes boxes;
  obturix::ExposureCycle cycle(*ports, sleeper);
  const auto registry = obturix::makeUserRegistry();
  obturix::RegistrySettingsStore settings(*registry);

  auto form = std::make_unique<obturix::Form1>(cycle, boxes, settings);
  boxes.setParentWindow(form.get());
  form->exec();
  [[maybe_unused]] const bool cancelled = form->annulation();
  form.reset();
  return 0;
}
