#include "app/module1.h"
#include "threads/termination_signals_posix.h"
#include "ui/qt/command_line.h"
#include "ui/qt/mute_session_bus.h"
#include "ui/qt/qt_application.h"
#include "ui/qt/qt_form1.h"

#include <QApplication>

int main(int argc, char** argv) {
  const obturix::CommandLine command = obturix::readCommandLine(argc, argv);
  if (command.exitStatus)
    return *command.exitStatus;
  // Before any thread, so that every thread leaves these signals to the loop.
  obturix::TerminationSignals endSignals;
  obturix::hideAMuteSessionBus();
  obturix::scaleAsAsked(command);
  {
    QApplication application(argc, argv);
    obturix::setUpApplication(application, command.night);
    obturix::Module1 module;
    obturix::Main<obturix::QtForm1>(module, &endSignals);
  }
  // A series stopped by a signal has saved its parameters: the signal still ends the program.
  if (const int signal = endSignals.taken())
    obturix::TerminationSignals::endAs(signal);
  return 0;
}
