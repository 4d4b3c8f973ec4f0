#pragma once

#include "exposure/exposure_cycle.h"
#include "fakes/fake_platform.h"
#include "platform/memory_registry.h"
#include "platform/message_boxes.h"
#include "settings/registry_store.h"
#include "ui/form1.h"

#include <deque>
#include <functional>
#include <string>

namespace obturix::testing {

// Message boxes that log "box TITLE: PROMPT" (title "Obturix" when none is
// given) and answer from a script: Yes or OK when the script is empty.
class FakeMessageBoxes final : public MessageBoxes {
public:
  explicit FakeMessageBoxes(EventLog& log) : log_(log) {}
  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title) override {
    log_.add("box " + title.value_or("Obturix") + ": " + prompt);
    if (answers.empty())
      return buttons == MessageButtons::YesNo ? answerYes : answerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<int> answers;

private:
  EventLog& log_;
};

// Logs each sleep with the counter shown at that moment, and runs an
// optional action during the first sleep.
class CounterWatchingSleeper final : public Sleeper {
public:
  CounterWatchingSleeper(EventLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
  void sleepFor(std::chrono::milliseconds duration) override {
    log_.add("sleep " + std::to_string(duration.count()) + " at " + counter());
    clock_.advance(duration);
    if (duringFirstSleep) {
      auto action = std::move(duringFirstSleep);
      duringFirstSleep = nullptr;
      action();
    }
  }
  std::function<std::string()> counter = [] { return std::string("?"); };
  std::function<void()> duringFirstSleep;

private:
  EventLog& log_;
  FakeClock& clock_;
};

// The main window on fake ports, a fake clock and fake message boxes.
struct WindowRig {
  EventLog log;
  FakeClock clock;
  CounterWatchingSleeper sleeper{log, clock};
  FakeSerialPortServiceFactory ports{log};
  FakeMessageBoxes boxes{log};
  ExposureCycle cycle{ports, sleeper};
  MemoryRegistry registry;
  RegistrySettingsStore settings{registry};
  Form1 form{cycle, boxes, settings};
};

} // namespace obturix::testing
