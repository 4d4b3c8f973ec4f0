#include "serial/serial_port_win32.h"
#include "serial/port_names.h"
#include "text/system_reason.h"
#include "text/wide_text_win32.h"
#include "timing/monotonic_clock.h"

#include <windows.h>

#include <utility>

namespace obturix {

namespace {

// While pressed, the port is watched for its going away: an overlapped
// WaitCommEvent ends when its device does (the adapter pulled out), and the
// port then answers ClearCommError no more. Where the system cannot keep
// such a wait (Wine on a pseudo-terminal ends it at once), ClearCommError is
// asked instead, every tenth of a second, through the sleeper.
class Win32SerialStream final : public SerialStream, public Held {
public:
  Win32SerialStream(const PortCalls& calls, HANDLE handle, std::chrono::nanoseconds openedAt)
      : calls_(calls), handle_(handle), openedAt_(openedAt) {}
  Win32SerialStream(const Win32SerialStream&) = delete;
  Win32SerialStream& operator=(const Win32SerialStream&) = delete;
  ~Win32SerialStream() override { close(); }

  void close() override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return;
    calls_.escape(handle_, CLRDTR);
    calls_.escape(handle_, CLRRTS);
    calls_.closeHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    // The wait under way ends with its handle; its OVERLAPPED must outlive it.
    if (std::exchange(waiting_, false))
      WaitForSingleObject(event_, 1000);
    if (event_)
      CloseHandle(std::exchange(event_, nullptr));
  }

  std::optional<std::chrono::nanoseconds> openedAt() const override { return openedAt_; }
  Held* held() override { return handle_ != INVALID_HANDLE_VALUE ? this : nullptr; }

  std::intptr_t lossSignal() override {
    if (!waiting_ && !asked_)
      startWaiting();
    return waiting_ ? reinterpret_cast<std::intptr_t>(event_) : 0;
  }

  bool lost() override {
    DWORD transferred = 0;
    if (waiting_ && (calls_.overlappedResult(handle_, &overlapped_, &transferred, FALSE) ||
                     GetLastError() != ERROR_IO_INCOMPLETE))
      waiting_ = false; // over: the device gone, a line error, or a wait the system ended
    COMSTAT status{};
    DWORD errors = 0;
    if (!calls_.clearError(handle_, &errors, &status))
      return true;
    asked_ = !waiting_; // still there: asked from now on rather than waited for again
    return false;
  }

private:
  void startWaiting() {
    if (!event_ && !(event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr))) {
      asked_ = true;
      return;
    }
    overlapped_ = {};
    overlapped_.hEvent = event_;
    waiting_ = calls_.setMask(handle_, EV_ERR) &&
               !calls_.waitEvent(handle_, &events_, &overlapped_) &&
               GetLastError() == ERROR_IO_PENDING;
    asked_ = !waiting_;
  }

  PortCalls calls_;
  HANDLE handle_;
  std::chrono::nanoseconds openedAt_;
  HANDLE event_ = nullptr;
  OVERLAPPED overlapped_{};
  DWORD events_ = 0;
  bool waiting_ = false; // a WaitCommEvent under way
  bool asked_ = false;   // ClearCommError asked instead
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
  Win32PreparedPort(const PortCalls& calls, std::wstring path)
      : calls_(calls), path_(std::move(path)) {}

  // Overlapped, so that the press can be watched while it is held.
  Opening open() override {
    HANDLE handle = calls_.createFile(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return {nullptr, failureOf(GetLastError())};
    const auto openedAt = monotonicNow();
    // Only a communications device is a port: a file or a console is refused.
    DCB state{};
    state.DCBlength = sizeof state;
    if (calls_.fileType(handle) != FILE_TYPE_CHAR || !calls_.commState(handle, &state)) {
      calls_.closeHandle(handle);
      return {};
    }
    calls_.escape(handle, SETDTR);
    calls_.escape(handle, SETRTS);
    return {std::make_shared<Win32SerialStream>(calls_, handle, openedAt), {}};
  }

private:
  PortCalls calls_;
  std::wstring path_;
};

class Win32SerialPortService final : public SerialPortService {
public:
  explicit Win32SerialPortService(const PortCalls& calls) : calls_(calls) {}

  std::unique_ptr<PreparedPort> prepare(const std::string& portName) override {
    const std::string path = win32DevicePath(portName);
    if (path.empty() || path.find('\0') != std::string::npos)
      return nullptr; // a NUL would cut the name short and name another device
    // Names are typed in UTF-8; opened as typed, never through the ANSI code
    // page, where a letter could become another's and name another device.
    return std::make_unique<Win32PreparedPort>(calls_, widen(path));
  }

private:
  PortCalls calls_;
};

class Win32SerialPortServiceFactory final : public SerialPortServiceFactory {
public:
  explicit Win32SerialPortServiceFactory(const PortCalls& calls) : calls_(calls) {}
  std::shared_ptr<SerialPortService> create() override {
    return std::make_shared<Win32SerialPortService>(calls_);
  }

private:
  PortCalls calls_;
};

} // namespace

std::unique_ptr<SerialPortServiceFactory>
makeWin32SerialPortServiceFactory(const PortCalls& calls) {
  return std::make_unique<Win32SerialPortServiceFactory>(calls);
}

std::unique_ptr<SerialPortServiceFactory> makeSystemSerialPortServiceFactory() {
  return makeWin32SerialPortServiceFactory({});
}

} // namespace obturix
