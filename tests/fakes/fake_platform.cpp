#include "fakes/fake_platform.h"

#include <utility>

namespace obturix::testing {

namespace {

class FakeSerialStream final : public SerialStream {
public:
  FakeSerialStream(EventLog& log, std::string name) : log_(log), name_(std::move(name)) {
    log_.add("open " + name_);
  }
  void close() override {
    if (!std::exchange(closed_, true))
      log_.add("close " + name_);
  }

private:
  EventLog& log_;
  std::string name_;
  bool closed_ = false;
};

// Whether the port exists is seen again when it is opened: it may have gone
// since it was prepared.
class FakePreparedPort final : public PreparedPort {
public:
  FakePreparedPort(FakeSerialPortServiceFactory& ports, EventLog& log, std::string name)
      : ports_(ports), log_(log), name_(std::move(name)) {}
  std::shared_ptr<SerialStream> open() override {
    if (!ports_.exists(name_))
      return nullptr;
    ++ports_.opens;
    return std::make_shared<FakeSerialStream>(log_, name_);
  }

private:
  FakeSerialPortServiceFactory& ports_;
  EventLog& log_;
  std::string name_;
};

} // namespace

void FakeSleeper::sleepUntil(std::chrono::nanoseconds deadline) {
  const auto duration = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
  log_.add("sleep " + std::to_string(duration.count()));
  elapsed += duration;
  if (auto action = std::exchange(duringNextSleep, nullptr))
    action();
}

int FakeMessageBoxes::show(const std::string& prompt, MessageButtons buttons,
                           const std::optional<std::string>& title) {
  log_.add("box " + title.value_or("Obturix") + ": " + prompt);
  if (answers.empty())
    return buttons == MessageButtons::YesNo ? answerYes : answerOk;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::unique_ptr<PreparedPort> FakeSerialPortServiceFactory::prepare(const std::string& portName) {
  return exists(portName) ? std::make_unique<FakePreparedPort>(*this, log_, portName) : nullptr;
}

} // namespace obturix::testing
