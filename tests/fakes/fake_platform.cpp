#include "fakes/fake_platform.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace obturix::testing {

namespace {

class FakeSerialStream final : public SerialStream, public Held {
public:
  FakeSerialStream(FakeSerialPortServiceFactory& ports, std::string name)
      : ports_(ports), name_(std::move(name)), press_(ports.presses.size()) {
    ports_.presses.push_back({ports_.clock.elapsed, {}});
    ports_.log.add("open " + name_);
  }
  void close() override {
    if (std::exchange(closed_, true))
      return;
    ports_.clock.elapsed += ports_.takes.close;
    ports_.presses[press_].released = ports_.clock.elapsed;
    ports_.log.add("close " + name_);
  }
  Held* held() override { return closed_ ? nullptr : this; }
  std::intptr_t lossSignal() override { return 0; }
  bool lost() override { return !ports_.existingPorts.contains(name_); }

private:
  FakeSerialPortServiceFactory& ports_;
  std::string name_;
  std::size_t press_;
  bool closed_ = false;
};

// Whether the port exists is seen again when it is opened: it may have gone
// since it was prepared.
class FakePreparedPort final : public PreparedPort {
public:
  FakePreparedPort(FakeSerialPortServiceFactory& ports, std::string name)
      : ports_(ports), name_(std::move(name)) {}
  Opening open() override {
    ports_.clock.elapsed += ports_.takes.open;
    if (!ports_.existingPorts.contains(name_))
      return {};
    if (const auto refused = ports_.refusedOpens.find(name_); refused != ports_.refusedOpens.end())
      return {nullptr, {refused->second, {}}};
    return {std::make_shared<FakeSerialStream>(ports_, name_), {}};
  }

private:
  FakeSerialPortServiceFactory& ports_;
  std::string name_;
};

class FakePortClaim final : public PortClaim {
public:
  FakePortClaim(FakeSerialPortServiceFactory& ports, std::string name)
      : PortClaim(ClaimReach::Machine), ports_(ports), name_(std::move(name)) {
    ports_.claimed.insert(name_);
  }
  ~FakePortClaim() override { ports_.claimed.erase(name_); }
  void keep() override { ++ports_.claimsKept; }

private:
  FakeSerialPortServiceFactory& ports_;
  std::string name_;
};

} // namespace

bool FakeSleeper::wait(std::chrono::nanoseconds deadline, Held* held) {
  if (interrupted_)
    return false;
  const auto until = std::chrono::duration_cast<std::chrono::milliseconds>(deadline);
  log_.add("sleep " + std::to_string((until - elapsed).count()));
  for (auto next = at.begin(); next != at.end() && next->first < until && !interrupted_;
       next = at.begin()) {
    elapsed = std::max(elapsed, next->first);
    const auto action = std::move(next->second);
    at.erase(next);
    action();
    if (held && held->lost())
      return true;
  }
  if (interrupted_)
    return false;
  elapsed = until;
  if (auto action = std::exchange(duringNextSleep, nullptr))
    action();
  return false;
}

std::unique_ptr<PowerWatch> FakePowerSource::watch(std::function<void(const PowerState&)> changed) {
  // Dropping the watch stops the news.
  class Watch final : public PowerWatch {
  public:
    explicit Watch(FakePowerSource& source) : source_(source) {}
    ~Watch() override { source_.watching_ = nullptr; }

  private:
    FakePowerSource& source_;
  };
  watching_ = std::move(changed);
  if (state)
    watching_(*state);
  return std::make_unique<Watch>(*this);
}

void FakePowerSource::change(const PowerState& answer) {
  state = answer;
  if (watching_)
    watching_(answer);
}

LocalTime FakeWallClock::local(std::chrono::system_clock::time_point moment) const {
  return utcTime(moment);
}

namespace {

class FakeJournalFile final : public JournalFile {
public:
  FakeJournalFile(FakeJournalFolder& folder, std::string name)
      : folder_(folder), name_(std::move(name)) {}
  long append(const std::string& text) override {
    ++folder_.appendsBegun;
    while (folder_.hold)
      std::this_thread::yield();
    std::this_thread::sleep_for(folder_.appendTakes);
    if (folder_.appendsLeft == 0)
      return folder_.appendFailure;
    if (folder_.appendsLeft > 0)
      --folder_.appendsLeft;
    folder_.files[name_] += text;
    return 0;
  }
  std::string path() const override { return folder_.path() + name_; }

private:
  FakeJournalFolder& folder_;
  std::string name_;
};

} // namespace

std::unique_ptr<JournalFile> FakeJournalFolder::create(const std::string& stem, long& error) {
  while (hold)
    std::this_thread::yield();
  error = refusal;
  if (refusal != 0)
    return nullptr;
  constexpr long taken = 17;
  return createFirstFree(stem, taken, error, [this](const std::string& name, long& failed) {
    failed = files.contains(name) ? taken : 0;
    if (failed)
      return std::unique_ptr<JournalFile>();
    files[name];
    return std::unique_ptr<JournalFile>(std::make_unique<FakeJournalFile>(*this, name));
  });
}

int FakeMessageBoxes::show(const std::string& prompt, MessageButtons buttons,
                           const std::optional<std::string>& title) {
  log_.add("box " + title.value_or("Obturix") + ": " + prompt);
  if (auto action = std::exchange(whileNextOpen, nullptr))
    action();
  if (answers.empty()) // the default button
    return buttons == MessageButtons::Ok      ? answerOk
           : buttons == MessageButtons::YesNo ? answerYes
                                              : answerNo;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::unique_ptr<PreparedPort> FakeSerialPortServiceFactory::prepare(const std::string& portName) {
  clock.elapsed += takes.lookUp;
  if (auto action = std::exchange(whileLookingUp, nullptr))
    action();
  return existingPorts.contains(portName) ? std::make_unique<FakePreparedPort>(*this, portName)
                                          : nullptr;
}

PortStatus FakeSerialPortServiceFactory::check(const std::string& portName) {
  if (!existingPorts.contains(portName))
    return {};
  if (const auto forbidden = forbiddenPorts.find(portName); forbidden != forbiddenPorts.end())
    return {.access = PortStatus::Access::Forbidden, .group = forbidden->second, .account = "jean"};
  return {PortStatus::Access::Usable, {}, {}};
}

std::unique_ptr<PortClaim> FakeSerialPortServiceFactory::claim(const std::string& portName,
                                                               std::optional<PortHolder>& holder) {
  if (const auto held = heldBy.find(portName); held != heldBy.end()) {
    holder = held->second;
    return nullptr;
  }
  if (claimed.contains(portName))
    return nullptr;
  if (unclaimable.contains(portName))
    return std::make_unique<PortClaim>();
  return std::make_unique<FakePortClaim>(*this, portName);
}

} // namespace obturix::testing
