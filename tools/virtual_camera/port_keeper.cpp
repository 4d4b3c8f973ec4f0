#include "port_keeper.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace obturix::camera {

PortKeeper::PortKeeper(const std::string& port)
    : fd_(::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
  if (fd_ < 0)
    throw std::system_error(errno, std::generic_category(), "ouverture du port virtuel");
}

PortKeeper::~PortKeeper() { ::close(fd_); }

bool PortKeeper::freeIfLeftExclusive() {
  int exclusive = 0;
  if (ioctl(fd_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0)
    return false;
  return ioctl(fd_, TIOCNXCL) == 0;
}

} // namespace obturix::camera
