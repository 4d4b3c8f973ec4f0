#pragma once

#include <memory>
#include <string>
#include <vector>

namespace obturix {

// Which serial ports this computer has, found without opening any (opening
// one presses the release).
class PortCheck {
public:
  virtual ~PortCheck() = default;
  // Whether a port name, as typed, names a serial port that exists.
  virtual bool exists(const std::string& portName) = 0;
  // The serial ports that exist, as the user would type them.
  virtual std::vector<std::string> available() = 0;
};

std::unique_ptr<PortCheck> makeSystemPortCheck();

} // namespace obturix
