#pragma once

#include <string>

namespace obturix::pty {

// A pseudo-terminal whose slave side stands in for a serial port. The master
// stays open for the object's life, so the slave can be opened by path.
class PseudoTerminal {
public:
  PseudoTerminal(); // throws std::system_error when none can be had
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int masterFd() const { return master_; }
  // The line's other end gone, as a USB adapter pulled out: the slave side
  // hangs up.
  void hangUp();

private:
  int master_ = -1;
  std::string slavePath_;
};

} // namespace obturix::pty
