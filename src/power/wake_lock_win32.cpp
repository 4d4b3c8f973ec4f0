#include "power/wake_lock_win32.h"

namespace obturix {

namespace {

class Win32WakeLock final : public WakeLock {
public:
  explicit Win32WakeLock(const PowerCalls& calls) : calls_(calls) {}
  ~Win32WakeLock() override { giveBack(); }

  void take() override {
    giveBack();
    wchar_t reason[] = L"Série de poses en cours";
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = reason;
    request_ = calls_.createRequest(&context);
    if (request_ == INVALID_HANDLE_VALUE)
      request_ = nullptr;
    if (request_ && !calls_.setRequest(request_, PowerRequestSystemRequired)) {
      calls_.closeHandle(request_);
      request_ = nullptr;
    }
    if (!request_)
      threadStateSet_ = calls_.setThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
  }

  void giveBack() override {
    if (request_) {
      calls_.clearRequest(request_, PowerRequestSystemRequired);
      calls_.closeHandle(request_);
      request_ = nullptr;
    }
    if (threadStateSet_)
      calls_.setThreadExecutionState(ES_CONTINUOUS);
    threadStateSet_ = false;
  }

private:
  PowerCalls calls_;
  HANDLE request_ = nullptr;
  bool threadStateSet_ = false;
};

} // namespace

std::unique_ptr<WakeLock> makeWin32WakeLock(const PowerCalls& calls) {
  return std::make_unique<Win32WakeLock>(calls);
}

std::unique_ptr<WakeLock> makeSystemWakeLock() { return makeWin32WakeLock({}); }

} // namespace obturix
