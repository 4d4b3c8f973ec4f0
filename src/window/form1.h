#pragma once

#include "exposure/series.h"
#include "threads/ordered_worker.h"
#include "window/form1_view.h"
#include "window/press_losses.h"

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace obturix {

class ExposureCycle;
class JournalFolder;
class PortCheck;
class PortClaim;
struct PressCount;
class PowerSource;
struct PowerState;
class RegistrySettingsStore;
class SeriesJournal;
struct JournalOutcome;
struct PressRecord;
class WakeLock;
class WallClock;

// How long the end of a series waits for its journal and its parameters to
// be on the disk: when the user is there, and when the system is ending the
// program; the window never waits longer for a disk that does not answer.
struct DiskDeadlines {
  std::chrono::milliseconds userThere{3000};
  std::chrono::milliseconds atExit{1000};
};

// What the window runs its series with, owned by the program's module.
struct Form1Services {
  ExposureCycle& cycle;
  PortCheck& ports;
  RegistrySettingsStore& settings;
  WakeLock& wakeLock;
  WallClock& wallClock;
  PowerSource& power;
  std::shared_ptr<JournalFolder> journals;
  DiskDeadlines disk = {};
};

// The main window's behaviour, whatever the toolkit: the toolkit's window
// calls the handlers below on its events, and the behaviour acts on it
// through its view.
class Form1 {
public:
  Form1(Form1View& view, const Form1Services& services);
  ~Form1();

  // True from the end of loading until "Lancer " is pressed.
  bool annulation() const { return bAnnulation_; }

  // Before the window is first shown: the welcome text, the saved parameters.
  void load();
  // Once it is on screen: what loading found wrong.
  void shown();
  // "Lancer ": checks, confirms and runs a series, then saves its parameters.
  // Does nothing while a series runs.
  void LancerSerie();
  // The mirror box: enables the mirror timing fields exactly when it is checked.
  void MajMiroir();
  // "Quitter": hides the window, which ends the program.
  void quit();
  // A click on the window's bare background.
  void backgroundClick();
  // The close box: whether the window may close now. While the cycles of
  // a series run it asks whether to stop them, No the default; on Yes the
  // release is let go at once and the window closes once the series has
  // saved its parameters and warned of what went wrong. While one of a
  // series' boxes is open the window closes once the series is over.
  bool mayClose();
  // The system ends the program (a signal, the end of the session): while
  // the cycles run they are stopped without a word and the parameters saved
  // at once, and the window closes once the series is over. False when no
  // cycle runs: the port's claim is given back and the program may end as
  // it would have anyway.
  bool endNow();
  // The process is ending under the window, which will not return to its
  // loop (its display gone): a series under way is stopped as by endNow,
  // and its journal ended, before this returns; whether one was.
  bool endBeforeExit();
  // From just before the first press of a series to the end of its last pause.
  bool cyclesRunning() const { return cyclesRunning_; }

private:
  // The parameters a save could not keep, and why.
  using Unsaved = std::vector<UnsavedField>;

  // What the series does when it is over, after a close request.
  enum class Closing {
    No,
    WhenOver,    // asked for while one of its boxes was open
    StopAsked,   // its cycles stopped on the user's Yes: its warnings, no end notice
    StopUnasked, // its cycles stopped by the system: no box at all
  };
  class Busy;

  SeriesParams captureSeriesParams() const;
  std::optional<std::string> refusal(const SeriesParams& params);
  std::optional<std::string> portRefusal(const std::string& port);
  bool confirmed(const SeriesParams& params);
  PressCount runCycles(const SeriesParams& params);
  void showProgress(std::int64_t current, std::int64_t cycles, const SeriesParams& params);
  void showProgressNote();
  void pressDone(std::int64_t exposure, const PressRecord& press, const std::string& port);
  std::optional<JournalOutcome> closeJournal(const PressCount& presses);
  void warnOfUnwrittenJournal(const std::optional<JournalOutcome>& journal);
  void warnOfShortBattery(const SeriesParams& params);
  void tellLowBattery(const PowerState& power);
  void warnOfMissedPresses(const PressCount& presses, std::int64_t asked, const std::string& port);
  void warnOfUnsavedSettings(const Unsaved& unsaved);
  void tellDamagedSettings();
  void announceEnd();
  void ChargerParams();
  Unsaved SauverParams(std::chrono::milliseconds deadline);

  Form1View& view_;
  ExposureCycle& cycle_;
  PortCheck& ports_;
  RegistrySettingsStore& settings_;
  WakeLock& wakeLock_;
  WallClock& wallClock_;
  PowerSource& power_;
  std::shared_ptr<JournalFolder> journals_;
  DiskDeadlines disk_;
  std::unique_ptr<PortClaim> portClaim_; // the series' port, from its checks to its end
  bool bAnnulation_ = false;
  bool busy_ = false;          // a series (or one of its boxes) is under way
  bool cyclesRunning_ = false; // on the timing thread, the window holding input
  bool askingToStop_ = false;
  std::unique_ptr<SeriesJournal> journal_; // the series', from its first press to its end
  std::future<void> cyclesOver_;           // ready once the timing thread is done with them
  // What the counter's tooltip tells, rebuilt when a press is lost.
  struct Progress {
    std::int64_t current = 0, total = 0;
    std::chrono::milliseconds left{0};
    LocalTime now, end;
  } progress_;
  PressLosses losses_; // during the series
  bool toldLowBattery_ = false;
  Closing closing_ = Closing::No;
  OrderedWorker settingsWorker_; // a hung disk holds the settings, never the window
};

// The welcome text shown in Label4, lines separated by carriage returns.
extern const char* const welcomeText;

} // namespace obturix
