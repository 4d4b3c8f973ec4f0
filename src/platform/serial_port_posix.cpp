#include "platform/port_names.h"
#include "platform/serial_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace obturix {

namespace {

constexpr int controlLines = TIOCM_DTR | TIOCM_RTS;

class PosixSerialStream final : public SerialStream {
public:
  explicit PosixSerialStream(int fd) : fd_(fd) {}
  PosixSerialStream(const PosixSerialStream&) = delete;
  PosixSerialStream& operator=(const PosixSerialStream&) = delete;
  ~PosixSerialStream() override { close(); }

  void close() override {
    if (fd_ < 0)
      return;
    int lines = controlLines;
    ioctl(fd_, TIOCMBIC, &lines); // a pseudo-terminal has no modem lines
    ::close(fd_);
    fd_ = -1;
  }

private:
  int fd_;
};

bool isCharacterDevice(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// Drop DTR and RTS when the last descriptor closes, even if the process dies.
void setHangUpOnClose(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0)
    return;
  settings.c_cflag |= HUPCL;
  tcsetattr(fd, TCSANOW, &settings);
}

class PosixSerialPortService final : public SerialPortService {
public:
  std::shared_ptr<SerialStream> open(const std::string& portName) override {
    const std::string path = posixDevicePath(portName);
    // Only character devices are opened at all: a regular file, a directory
    // or a FIFO is refused before anything happens to it. A name with a NUL
    // in it would reach the system cut short, naming another file.
    if (path.empty() || path.find('\0') != std::string::npos || !isCharacterDevice(path))
      return nullptr;
    // Non-blocking, so a port without carrier cannot hold the series up.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return nullptr;
    if (!isatty(fd)) {
      ::close(fd); // no terminal ioctl on a device that is not a terminal
      return nullptr;
    }
    setHangUpOnClose(fd);
    int lines = controlLines;
    ioctl(fd, TIOCMBIS, &lines); // fails harmlessly on a pseudo-terminal
    return std::make_shared<PosixSerialStream>(fd);
  }
};

class PosixSerialPortServiceFactory final : public SerialPortServiceFactory {
public:
  std::shared_ptr<SerialPortService> create() override {
    return std::make_shared<PosixSerialPortService>();
  }
};

} // namespace

std::unique_ptr<SerialPortServiceFactory> makeSystemSerialPortServiceFactory() {
  return std::make_unique<PosixSerialPortServiceFactory>();
}

} // namespace obturix
