#include "fakes/fake_platform.h"

#include <utility>

namespace obturix::testing {

namespace {

class FakeSerialStream final : public SerialStream {
public:
  FakeSerialStream(EventLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  void close() override {
    if (closed_)
      return;
    closed_ = true;
    log_.add("close " + name_);
  }

private:
  EventLog& log_;
  std::string name_;
  bool closed_ = false;
};

// Whether the port exists is seen when it is opened: it may have gone since
// it was prepared.
class FakePreparedPort final : public PreparedPort {
public:
  FakePreparedPort(EventLog& log, const std::set<std::string>& existing, int& opens,
                   std::string name)
      : log_(log), existing_(existing), opens_(opens), name_(std::move(name)) {}

  std::shared_ptr<SerialStream> open() override {
    if (!existing_.contains(name_))
      return nullptr;
    ++opens_;
    log_.add("open " + name_);
    return std::make_shared<FakeSerialStream>(log_, name_);
  }

private:
  EventLog& log_;
  const std::set<std::string>& existing_;
  int& opens_;
  std::string name_;
};

class FakeSerialPortService final : public SerialPortService {
public:
  FakeSerialPortService(EventLog& log, const std::set<std::string>& existing, int& opens)
      : log_(log), existing_(existing), opens_(opens) {}

  std::unique_ptr<PreparedPort> prepare(const std::string& portName) override {
    if (!existing_.contains(portName))
      return nullptr;
    return std::make_unique<FakePreparedPort>(log_, existing_, opens_, portName);
  }

private:
  EventLog& log_;
  const std::set<std::string>& existing_;
  int& opens_;
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

std::shared_ptr<SerialPortService> FakeSerialPortServiceFactory::create() {
  return std::make_shared<FakeSerialPortService>(log_, existingPorts, opens);
}

} // namespace obturix::testing
