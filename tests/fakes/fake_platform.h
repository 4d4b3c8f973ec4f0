#pragma once

#include "desktop/taskbar_progress.h"
#include "journal/journal_folder.h"
#include "power/power_source.h"
#include "power/wake_lock.h"
#include "serial/port_check.h"
#include "serial/serial_port.h"
#include "timing/sleeper.h"
#include "timing/wall_clock.h"
#include "window/message_boxes.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
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

// Time passes only when it sleeps: a sleep logs "sleep N" and moves the
// clock on by those N ms to the deadline, then runs, once, what was set to
// happen during the next sleep. What is set to happen `at` a time runs when
// a sleep passes it, the clock then at that time; an interruption ends the
// sleep there, and later sleeps at once, without a trace. A hold is such a
// sleep that also ends there when what it holds is then lost.
class FakeSleeper final : public Sleeper {
public:
  explicit FakeSleeper(EventLog& log) : log_(log) {}
  std::chrono::nanoseconds now() const override { return elapsed; }
  void sleepUntil(std::chrono::nanoseconds deadline) override { wait(deadline, nullptr); }
  bool holdUntil(std::chrono::nanoseconds deadline, Held& held) override {
    return wait(deadline, &held);
  }
  void interrupt() override { interrupted_ = true; }
  void resume() override { interrupted_ = false; }
  bool interrupted() const override { return interrupted_; }
  std::function<void()> duringNextSleep;
  std::map<std::chrono::milliseconds, std::function<void()>> at;
  std::chrono::milliseconds elapsed{0};

private:
  bool wait(std::chrono::nanoseconds deadline, Held* held);
  EventLog& log_;
  std::atomic<bool> interrupted_{false}; // also set by threads of the code under test
};

// Ports that exist by name, found by the port check too; the factory hands
// out itself as the service. Logs "open NAME" for a successful open and
// "close NAME" for the first close of a stream; refused opens and repeated
// closes leave no trace, as on a real system. Finding, opening and closing
// a port take the clock's time as set in `takes`; `presses` has each press
// as the port saw it: from the end of its open to the end of its close. A
// port held open is lost when it stops existing.
class FakeSerialPortServiceFactory final : public SerialPortServiceFactory,
                                           public SerialPortService,
                                           public PortCheck {
public:
  FakeSerialPortServiceFactory(EventLog& events, FakeSleeper& sleeper)
      : log(events), clock(sleeper) {}

  std::shared_ptr<SerialPortService> create() override { return {std::shared_ptr<void>(), this}; }
  std::unique_ptr<PreparedPort> prepare(const std::string& portName) override;
  PortStatus check(const std::string& portName) override;
  std::vector<std::string> available() override {
    return {existingPorts.begin(), existingPorts.end()};
  }
  // Refused while in `claimed`, by this program or another, or in `heldBy`.
  std::unique_ptr<PortClaim> claim(const std::string& portName,
                                   std::optional<PortHolder>& holder) override;

  struct Press {
    std::chrono::milliseconds pressed, released;
    bool operator==(const Press&) const = default;
  };
  struct Durations {
    std::chrono::milliseconds lookUp{0}, open{0}, close{0};
  };

  std::set<std::string> existingPorts{"COM1"};
  std::map<std::string, PortFailure::Cause> refusedOpens; // they exist, but will not open
  std::map<std::string, std::string> forbiddenPorts;      // name: the group that may open it
  std::set<std::string> claimed;
  std::map<std::string, PortHolder> heldBy;
  std::set<std::string> unclaimable;    // nothing to claim them with
  int claimsKept = 0;                   // times a claim was asked to keep its hold
  std::function<void()> whileLookingUp; // once, during the next look-up
  Durations takes;
  std::vector<Press> presses;
  EventLog& log;
  FakeSleeper& clock;
};

// The wall clock moving with the fake sleeper: `start` and the time slept;
// local time is UTC's.
class FakeWallClock final : public WallClock {
public:
  explicit FakeWallClock(const FakeSleeper& sleeper) : sleeper_(sleeper) {}
  std::chrono::system_clock::time_point now() const override { return start + sleeper_.elapsed; }
  LocalTime local(std::chrono::system_clock::time_point moment) const override;
  std::optional<std::chrono::system_clock::time_point>
  moment(const LocalTime& local) const override {
    return utcMoment(local);
  }
  std::chrono::system_clock::time_point start =
      std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours(21);

private:
  const FakeSleeper& sleeper_;
};

// Journals kept in memory by name. Making one fails with `refusal` when set;
// an append fails with `appendFailure` once `appendsLeft` have been made,
// and takes `appendTakes` of real time, as a disk's sync does. Both wait
// while `hold` is set. Read `files` once the writing is done.
class FakeJournalFolder final : public JournalFolder {
public:
  std::string path() const override { return "/state/journal/"; }
  std::unique_ptr<JournalFile> create(const std::string& stem, long& error) override;
  std::vector<std::string> names() const override {
    std::vector<std::string> kept;
    for (const auto& [name, text] : files)
      kept.push_back(name);
    return kept;
  }
  std::optional<std::string> read(const std::string& name) const override {
    const auto file = files.find(name);
    return file == files.end() ? std::nullopt : std::optional(file->second);
  }

  std::map<std::string, std::string> files;
  long refusal = 0;
  int appendsLeft = -1; // none counted
  long appendFailure = 1;
  std::chrono::milliseconds appendTakes{0};
  std::atomic<int> appendsBegun{0};
  std::atomic<bool> hold{false};
};

// Answers with `state`, whatever the question; a watch hears of each change.
class FakePowerSource final : public PowerSource {
public:
  std::optional<PowerState> now() override { return state; }
  std::optional<PowerState> latest() override { return state; }
  std::unique_ptr<PowerWatch> watch(std::function<void(const PowerState&)> changed) override;
  // The system's new answer, told at once to the watch held.
  void change(const PowerState& answer);
  std::optional<PowerState> state; // no battery by default

private:
  std::function<void(const PowerState&)> watching_;
};

// Logs "awake" when taken and "may sleep" when given back.
class FakeWakeLock final : public WakeLock {
public:
  explicit FakeWakeLock(EventLog& log) : log_(log) {}
  void take() override { log_.add("awake"); }
  void giveBack() override { log_.add("may sleep"); }

private:
  EventLog& log_;
};

// Logs "progress DONE/TOTAL #CURRENT" (" !" once a press failed) and
// "progress cleared".
class FakeTaskbarProgress final : public TaskbarProgress {
public:
  explicit FakeTaskbarProgress(EventLog& log) : log_(log) {}
  void show(const SeriesProgress& p) override {
    log_.add("progress " + std::to_string(p.done) + "/" + std::to_string(p.total) + " #" +
             std::to_string(p.current) + (p.failing ? " !" : ""));
  }
  void clear() override { log_.add("progress cleared"); }

private:
  EventLog& log_;
};

// Message boxes that log "box TITLE: PROMPT" (title "Obturix" when none is
// given), run what was set to happen while the next one is open, and answer
// from a script: the default button when the script is empty.
class FakeMessageBoxes final : public MessageBoxes {
public:
  explicit FakeMessageBoxes(EventLog& log) : log_(log) {}
  int show(const std::string& prompt, MessageButtons buttons,
           const std::optional<std::string>& title) override;
  std::deque<int> answers;
  std::function<void()> whileNextOpen;

private:
  EventLog& log_;
};

} // namespace obturix::testing
