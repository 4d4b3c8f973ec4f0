#pragma once

#include "desktop/taskbar_progress.h"
#include "exposure/exposure_cycle.h"
#include "exposure/plan.h"
#include "journal/journal_texts.h"
#include "journal/journal_writer.h"
#include "serial/port_check.h"
#include "series/press_losses.h"
#include "threads/timing_thread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>

namespace obturix {

class JournalFolder;
class PowerSource;
class SeriesJournal;
class WakeLock;
class WallClock;
struct PowerState;

// How long the end of a series waits for its journal and its parameters to
// be on the disk: when the user is there, and when the system is ending the
// program; nothing waits longer for a disk that does not answer.
struct DiskDeadlines {
  std::chrono::milliseconds userThere{3000};
  std::chrono::milliseconds atExit{1000};
};

// What a series runs with, owned by the program's module.
struct SeriesServices {
  ExposureCycle& cycle;
  PortCheck& ports;
  WakeLock& wakeLock;
  WallClock& wallClock;
  PowerSource& power;
  std::shared_ptr<JournalFolder> journals;
  DiskDeadlines disk = {};
};

// Asks now what a series asks before it starts (the battery), so that the
// first series need not wait for it.
void askAhead(const SeriesServices& services);

// What a series tells the front that shows it (a window, a terminal), on
// the front's own thread.
class SeriesFront {
public:
  virtual ~SeriesFront() = default;
  // The exposure under way and how far the series has come, with the words
  // of its tooltip: at each exposure, again as soon as one is lost, and once
  // the cycles are over (no exposure under way).
  virtual void progress(const SeriesProgress& progress) = 0;
  // What cannot wait for the end: a press that failed or was cut short, the
  // battery running low.
  virtual void tellAtOnce(const std::string& text) = 0;
};

// What a series made, how it ended, and what is told of it at its end.
struct SeriesOutcome {
  PressCount presses;
  std::int64_t asked = 0;
  SeriesEnd how = SeriesEnd::Finished;
  std::optional<JournalOutcome> journal; // none for a series without cycle
  // Exposures lost (the cable pulled out during the night), counted as the
  // journal counts them; a journal not written whole.
  std::optional<std::string> lossWarning, journalWarning;
};

// Runs a series from its plan, whatever shows it: claims its port, keeps the
// computer awake, runs the cycles on a timing thread, keeps the journal,
// follows the battery, and tells its front what happens, on the front's own
// thread. Made on the front's thread, and used there but for stop().
class SeriesRun {
public:
  SeriesRun(const SeriesServices& services, SeriesPlan plan);
  ~SeriesRun();
  SeriesRun(const SeriesRun&) = delete;
  SeriesRun& operator=(const SeriesRun&) = delete;

  // Claims the series' port for its whole life, before anything is pressed:
  // why not, in French, when it does not exist, may not be opened, or
  // another series or program holds it. A series without cycle claims none.
  std::optional<std::string> claimPort();
  // Told before the night: a claim that reaches less than the whole machine,
  // a battery expected to last less than the series.
  std::optional<std::string> unclaimedPortWarning() const;
  std::optional<std::string> shortBatteryWarning();

  // Runs `cycles` on a timing thread and returns once it has, while the
  // front's thread runs what is handed over (a view's wait).
  using OnTimingThread = std::function<void(const std::function<void(const HandOver&)>& cycles)>;
  // Runs the cycles, gives the port back, ends the journal (its deadline
  // passed at most) and says what came of it all.
  SeriesOutcome run(SeriesFront& front, const OnTimingThread& onTimingThread);
  // From any thread while the cycles run: the wait under way ends at once,
  // the release is let go, no further press is made; the journal ends saying
  // so. The first stop is the one told.
  void stop(SeriesEnd how);
  // The process ends under the front, which will not come back to run():
  // stopped as by the system, the timing thread waited for a while, the
  // journal ended; false when no cycle ran.
  bool endBeforeExit();
  // The port's claim given back at once (the program ending).
  void giveBackPort() { claim_.reset(); }
  bool cyclesRunning() const { return cyclesRunning_; }
  const SeriesPlan& plan() const { return plan_; }

private:
  void runCycles(SeriesFront& front, const HandOver& toFront);
  void showProgress(SeriesFront& front, std::int64_t current);
  void pressDone(SeriesFront& front, std::int64_t exposure, const PressRecord& press);
  void tellLowBattery(SeriesFront& front, const PowerState& power);
  std::optional<JournalOutcome> endJournal(const PressCount& presses);

  SeriesServices services_;
  SeriesPlan plan_;
  std::unique_ptr<PortClaim> claim_;
  std::unique_ptr<SeriesJournal> journal_; // from the first press to the end
  std::future<void> cyclesOver_;           // ready once the timing thread is done with them
  std::atomic<bool> cyclesRunning_{false};
  std::atomic<int> stoppedBy_{notStopped}; // a SeriesEnd once stopped
  static constexpr int notStopped = -1;
  SeriesEnd howItEnded() const;
  // What the tooltip tells, built again when a press is lost.
  struct Progress {
    std::int64_t current = 0;
    std::chrono::milliseconds left{0};
    LocalTime now, end;
  } progress_;
  PressLosses losses_;
  bool toldLowBattery_ = false;
};

} // namespace obturix
