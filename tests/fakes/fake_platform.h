#pragma once

#include "platform/message_boxes.h"
#include "platform/port_check.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace obturix::testing {

// The ordered record of everything the fakes were asked to do.
class EventLog {
public:
  void add(std::string event) { events_.push_back(std::move(event)); }
  const std::vector<std::string>& events() const { return events_; }
  void clear() { events_.clear(); }

private:
  std::vector<std::string> events_;
};

// Time that passes only when a fake sleeps.
class FakeClock {
public:
  std::chrono::milliseconds now() const { return now_; }
  void advance(std::chrono::milliseconds by) { now_ += by; }

private:
  std::chrono::milliseconds now_{0};
};

// Tells the fake clock's time; a sleep logs "sleep N" and moves the clock on
// by those N ms to the deadline, then runs, once, what was set to happen
// during the next sleep.
class FakeSleeper final : public Sleeper {
public:
  FakeSleeper(EventLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
  std::chrono::nanoseconds now() const override { return clock_.now(); }
  void sleepUntil(std::chrono::nanoseconds deadline) override;
  std::function<void()> duringNextSleep;

private:
  EventLog& log_;
  FakeClock& clock_;
};

// Ports that exist by name. Logs "open NAME" for a successful open and
// "close NAME" for the first close of a stream; refused opens and repeated
// closes leave no trace, as on a real system.
class FakeSerialPortServiceFactory final : public SerialPortServiceFactory {
public:
  explicit FakeSerialPortServiceFactory(EventLog& log) : log_(log) {}

  std::shared_ptr<SerialPortService> create() override;

  std::set<std::string> existingPorts{"COM1"};
  bool creationFails = false;
  // Opens made through each service created so far, in order of creation.
  std::deque<int> opensPerService; // deque: references stay valid
  int opens() const { return std::accumulate(opensPerService.begin(), opensPerService.end(), 0); }

private:
  EventLog& log_;
};

// Finds the ports a fake factory opens (a reference to its set).
class FakePortCheck final : public PortCheck {
public:
  explicit FakePortCheck(const std::set<std::string>& existing) : existing_(existing) {}
  bool exists(const std::string& portName) override { return existing_.contains(portName); }
  std::vector<std::string> available() override { return {existing_.begin(), existing_.end()}; }

private:
  const std::set<std::string>& existing_;
};

// Message boxes that log "box TITLE: PROMPT" (title "Obturix" when none is
// given) and answer from a script: Yes or OK when the script is empty.
class FakeMessageBoxes final : public MessageBoxes {
public:
  explicit FakeMessageBoxes(EventLog& log) : log_(log) {}
  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title) override;
  std::deque<int> answers;

private:
  EventLog& log_;
};

} // namespace obturix::testing
