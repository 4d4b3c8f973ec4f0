#include "serial/port_names.h"
#include "serial/serial_port.h"
#include "text/system_reason.h"
#include "text/wide_text_win32.h"
#include "timing/monotonic_clock.h"

#include <windows.h>

namespace obturix {

namespace {

class Win32SerialStream final : public SerialStream {
public:
  Win32SerialStream(HANDLE handle, std::chrono::nanoseconds openedAt)
      : handle_(handle), openedAt_(openedAt) {}
  Win32SerialStream(const Win32SerialStream&) = delete;
  Win32SerialStream& operator=(const Win32SerialStream&) = delete;
  ~Win32SerialStream() override { close(); }

  void close() override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return;
    EscapeCommFunction(handle_, CLRDTR);
    EscapeCommFunction(handle_, CLRRTS);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  std::optional<std::chrono::nanoseconds> openedAt() const override { return openedAt_; }

private:
  HANDLE handle_;
  std::chrono::nanoseconds openedAt_;
};

// A COM port is opened by one program at a time: refused access means that
// another one holds it.
PortFailure failureOf(DWORD error) {
  switch (error) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_DEV_NOT_EXIST:
    return {PortFailure::Cause::Gone, {}};
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
    return {PortFailure::Cause::Busy, {}};
  default:
    return {PortFailure::Cause::Other, systemReason(static_cast<long>(error))};
  }
}

class Win32PreparedPort final : public PreparedPort {
public:
  explicit Win32PreparedPort(std::wstring path) : path_(std::move(path)) {}

  Opening open() override {
    HANDLE handle = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return {nullptr, failureOf(GetLastError())};
    const auto openedAt = monotonicNow();
    // Only a communications device is a port: a file or a console is refused.
    DCB state{};
    state.DCBlength = sizeof state;
    if (GetFileType(handle) != FILE_TYPE_CHAR || !GetCommState(handle, &state)) {
      CloseHandle(handle);
      return {};
    }
    EscapeCommFunction(handle, SETDTR);
    EscapeCommFunction(handle, SETRTS);
    return {std::make_shared<Win32SerialStream>(handle, openedAt), {}};
  }

private:
  std::wstring path_;
};

class Win32SerialPortService final : public SerialPortService {
public:
  std::unique_ptr<PreparedPort> prepare(const std::string& portName) override {
    const std::string path = win32DevicePath(portName);
    if (path.empty() || path.find('\0') != std::string::npos)
      return nullptr; // a NUL would cut the name short and name another device
    // Names are typed in UTF-8; opened as typed, never through the ANSI code
    // page, where a letter could become another's and name another device.
    return std::make_unique<Win32PreparedPort>(widen(path));
  }
};

class Win32SerialPortServiceFactory final : public SerialPortServiceFactory {
public:
  std::shared_ptr<SerialPortService> create() override {
    return std::make_shared<Win32SerialPortService>();
  }
};

} // namespace

std::unique_ptr<SerialPortServiceFactory> makeSystemSerialPortServiceFactory() {
  return std::make_unique<Win32SerialPortServiceFactory>();
}

} // namespace obturix
