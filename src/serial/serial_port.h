#pragma once

#include "timing/sleeper.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace obturix {

// An open serial port. While it is open the shutter release is pressed.
class SerialStream {
public:
  virtual ~SerialStream() = default;
  // Lets the release go. Closes at most once: later calls do nothing, so a
  // descriptor number that may since belong to another file is never closed.
  virtual void close() = 0;
  // When the port opened, on the monotonic clock, where the stream knows it:
  // a press is timed from then, not from the line settings that follow.
  virtual std::optional<std::chrono::nanoseconds> openedAt() const { return std::nullopt; }
  // The port as something a wait can hold, where the system tells when it
  // goes away (its adapter or cable pulled out); nothing once closed.
  virtual Held* held() { return nullptr; }
};

// Why a port could not be opened.
struct PortFailure {
  enum class Cause {
    Gone,      // no such port (any more), or the name now leads to another device
    Forbidden, // this user may not open it
    Busy,      // another program holds it
    Other,     // `systemMessage` says what
  };
  Cause cause = Cause::Gone;
  std::string systemMessage;
};

// An open port, or why there is none.
struct Opening {
  std::shared_ptr<SerialStream> stream;
  PortFailure failure;
};

// A port found and checked, ready to open when its press must start: opening
// it is then all that is left to do.
class PreparedPort {
public:
  virtual ~PreparedPort() = default;
  // Presses the release, unless the port cannot be opened; nothing is
  // pressed then.
  virtual Opening open() = 0;
};

// Finds ports by name, and opens them. Opening presses the release.
class SerialPortService {
public:
  virtual ~SerialPortService() = default;
  // Finds the port without opening it; nullptr when there is no such port.
  virtual std::unique_ptr<PreparedPort> prepare(const std::string& portName) = 0;
  // Finds and opens it at once.
  Opening open(const std::string& portName) {
    const auto port = prepare(portName);
    return port ? port->open() : Opening{};
  }
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
