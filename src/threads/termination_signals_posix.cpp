#include "threads/termination_signals_posix.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace obturix {

namespace {

// Those the program was not started ignoring.
sigset_t notIgnored(std::initializer_list<int> wanted) {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : wanted) {
    struct sigaction inherited {};
    if (sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
      continue;
    sigaddset(&signals, signal);
  }
  return signals;
}

} // namespace

// A descriptor rather than a handler: nothing runs inside a signal handler,
// and no handler needs a global to reach the loop.
TerminationSignals::TerminationSignals(std::initializer_list<int> wanted) {
  const sigset_t signals = notIgnored(wanted);
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
    return;
  descriptor_ = Descriptor(signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!descriptor_)
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

int TerminationSignals::take() {
  signalfd_siginfo info{};
  if (read(descriptor_.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info))
    return 0;
  taken_ = static_cast<int>(info.ssi_signo);
  return taken_;
}

void TerminationSignals::endAs(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  std::_Exit(128 + signal);
}

} // namespace obturix
