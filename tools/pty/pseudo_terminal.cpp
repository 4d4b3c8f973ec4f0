#include "pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace obturix::pty {

PseudoTerminal::PseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0)
    throw std::system_error(errno, std::generic_category(),
                            "création du pseudo-terminal impossible");
  const char* name = nullptr;
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 || (name = ptsname(master_)) == nullptr) {
    const int error = errno;
    ::close(master_);
    throw std::system_error(error, std::generic_category(),
                            "ouverture du pseudo-terminal impossible");
  }
  slavePath_ = name;
}

PseudoTerminal::~PseudoTerminal() { hangUp(); }

void PseudoTerminal::hangUp() {
  if (master_ >= 0)
    ::close(master_);
  master_ = -1;
}

} // namespace obturix::pty
