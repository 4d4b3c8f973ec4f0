#pragma once

#include "files/descriptor_posix.h"

#include <csignal>
#include <initializer_list>

namespace obturix {

// Signals that would end or suspend the program (by default SIGTERM, SIGINT
// and SIGHUP: a logout, a shutdown, a closed terminal, `kill`) taken in the
// program's event loop rather than acting on the spot: blocked for every
// thread from construction on (so made before any thread), and read from a
// descriptor the loop watches. A signal the program was started ignoring
// (`nohup`, a service manager) stays ignored. Linux only.
class TerminationSignals {
public:
  explicit TerminationSignals(std::initializer_list<int> wanted = {SIGTERM, SIGINT, SIGHUP});
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Readable when one of the signals has come; -1 when it cannot be had
  // (the signals then end the program at once, as they would without it).
  int descriptor() const { return descriptor_.get(); }
  // The signal that came, once the descriptor is readable; 0 when none.
  int take();
  // The last signal taken; 0 when none.
  int taken() const { return taken_; }
  // Ends the process as `signal` does by default: the status a shell or a
  // session manager expects.
  [[noreturn]] static void endAs(int signal);

private:
  Descriptor descriptor_;
  int taken_ = 0;
};

} // namespace obturix
