#pragma once

#include <memory>
#include <string>

namespace obturix {

// An open serial port. While it is open the shutter release is pressed.
class SerialStream {
public:
  virtual ~SerialStream() = default;
  // Lets the release go. Closes at most once: later calls do nothing, so a
  // descriptor number that may since belong to another file is never closed.
  virtual void close() = 0;
};

// Opens ports by name. Opening presses the release.
class SerialPortService {
public:
  virtual ~SerialPortService() = default;
  // Returns nullptr when the port cannot be opened; nothing is pressed then.
  virtual std::shared_ptr<SerialStream> open(const std::string& portName) = 0;
};

// Hands out port services; may fail (nullptr), as creating any system object can.
class SerialPortServiceFactory {
public:
  virtual ~SerialPortServiceFactory() = default;
  virtual std::shared_ptr<SerialPortService> create() = 0;
};

// The operating system's serial ports.
std::unique_ptr<SerialPortServiceFactory> makeSystemSerialPortServiceFactory();

} // namespace obturix
