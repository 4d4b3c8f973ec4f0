#include "serial/port_names.h"
#include "serial/serial_devices_posix.h"
#include "serial/serial_port.h"
#include "text/system_reason.h"
#include "timing/monotonic_clock.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace obturix {

namespace {

constexpr int controlLines = TIOCM_DTR | TIOCM_RTS;

class PosixSerialStream final : public SerialStream, public Held {
public:
  PosixSerialStream(Descriptor fd, std::chrono::nanoseconds openedAt)
      : fd_(std::move(fd)), openedAt_(openedAt) {}
  PosixSerialStream(const PosixSerialStream&) = delete;
  PosixSerialStream& operator=(const PosixSerialStream&) = delete;
  ~PosixSerialStream() override { close(); }

  void close() override {
    if (!fd_)
      return;
    int lines = controlLines;
    ioctl(fd_.get(), TIOCMBIC, &lines); // a pseudo-terminal has no modem lines
    // A pseudo-terminal stays exclusive after its last close: the next
    // press could no longer open it.
    ioctl(fd_.get(), TIOCNXCL);
    fd_.close();
  }

  std::optional<std::chrono::nanoseconds> openedAt() const override { return openedAt_; }
  Held* held() override { return fd_ ? this : nullptr; }

  // The kernel hangs a terminal up when its device goes (a USB adapter
  // pulled out, a pseudo-terminal's other side closed).
  std::intptr_t lossSignal() override { return fd_.get(); }
  bool lost() override {
    pollfd port{fd_.get(), 0, 0};
    return poll(&port, 1, 0) == 1 && (port.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }

private:
  Descriptor fd_;
  std::chrono::nanoseconds openedAt_;
};

// Drop DTR and RTS when the last descriptor closes, even if the process dies;
// and never hang up on the carrier line, which the cable leaves unwired: a
// hang-up means that the port itself went away.
void setModemControl(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0)
    return;
  settings.c_cflag |= HUPCL | CLOCAL;
  tcsetattr(fd, TCSANOW, &settings);
}

PortFailure failureOf(int error) {
  switch (error) {
  case ENOENT:
  case ENXIO:
  case ENODEV:
  case EIO: // a USB adapter pulled out while the name still stands
    return {PortFailure::Cause::Gone, {}};
  case EACCES:
  case EPERM:
    return {PortFailure::Cause::Forbidden, {}};
  case EBUSY:
    return {PortFailure::Cause::Busy, {}};
  default:
    return {PortFailure::Cause::Other, systemReason(error)};
  }
}

class PosixPreparedPort final : public PreparedPort {
public:
  PosixPreparedPort(std::string path, const DeviceIdentity& identity)
      : path_(std::move(path)), identity_(identity) {}

  Opening open() override {
    Descriptor fd = openIdentified(path_, identity_);
    if (!fd)
      return {nullptr, failureOf(errno)};
    const auto openedAt = monotonicNow();
    setModemControl(fd.get());
    ioctl(fd.get(), TIOCEXCL); // another program's open now fails instead of pressing too
    int lines = controlLines;
    ioctl(fd.get(), TIOCMBIS, &lines); // fails harmlessly on a pseudo-terminal
    return {std::make_shared<PosixSerialStream>(std::move(fd), openedAt), {}};
  }

private:
  std::string path_;
  DeviceIdentity identity_;
};

class PosixSerialPortService final : public SerialPortService {
public:
  explicit PosixSerialPortService(std::shared_ptr<SerialDevices> devices)
      : devices_(std::move(devices)) {}

  // Only a serial port is found at all: a regular file, a folder, a FIFO or
  // another kind of terminal is refused before anything happens to it.
  std::unique_ptr<PreparedPort> prepare(const std::string& portName) override {
    std::string path = posixDevicePath(portName);
    const auto identity = devices_->identify(path);
    if (!identity)
      return nullptr;
    return std::make_unique<PosixPreparedPort>(std::move(path), *identity);
  }

private:
  std::shared_ptr<SerialDevices> devices_;
};

// The services share what they learnt of the system's tty drivers.
class PosixSerialPortServiceFactory final : public SerialPortServiceFactory {
public:
  std::shared_ptr<SerialPortService> create() override {
    return std::make_shared<PosixSerialPortService>(devices_);
  }

private:
  std::shared_ptr<SerialDevices> devices_ = std::make_shared<SerialDevices>();
};

} // namespace

std::unique_ptr<SerialPortServiceFactory> makeSystemSerialPortServiceFactory() {
  return std::make_unique<PosixSerialPortServiceFactory>();
}

} // namespace obturix
