#pragma once

#include <string>

namespace obturix::camera {

// Keeps the camera's own end of its port open, so that the port can be freed
// again when a program dies while pressing: the exclusive use it asked for
// (TIOCEXCL) outlives its close on a pseudo-terminal, and every later open
// but root's would fail.
class PortKeeper {
public:
  explicit PortKeeper(const std::string& port); // throws std::system_error
  ~PortKeeper();
  PortKeeper(const PortKeeper&) = delete;
  PortKeeper& operator=(const PortKeeper&) = delete;

  // Frees the port if it was left for exclusive use; whether it was.
  bool freeIfLeftExclusive();

private:
  int fd_;
};

} // namespace obturix::camera
