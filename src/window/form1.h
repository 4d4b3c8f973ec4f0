#pragma once

#include "exposure/plan.h"
#include "series/series_run.h"
#include "settings/settings_words.h"
#include "settings/settings_worker.h"
#include "window/form1_view.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace obturix {

class RegistrySettingsStore;

// What the window runs its series with and keeps its values in, owned by
// the program's module.
struct Form1Services {
  SeriesServices series;
  RegistrySettingsStore& settings;
};

// The main window's behaviour, whatever the toolkit: the toolkit's window
// calls the handlers below on its events, and the behaviour acts on it
// through its view. A series runs apart (SeriesRun); the window shows what
// it is told of it.
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
  bool cyclesRunning() const { return run_ && run_->cyclesRunning(); }

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
  // The counter, its tooltip and the task bar, as the series tells them.
  class Shows final : public SeriesFront {
  public:
    explicit Shows(Form1View& view) : view_(view) {}
    void progress(const SeriesProgress& progress) override;
    void tellAtOnce(const std::string& text) override { view_.tellAtOnce(text); }

  private:
    Form1View& view_;
    std::int64_t counter_ = 0;
  };

  SeriesParams captureSeriesParams() const;
  std::optional<std::string> refusal(const SeriesParams& params);
  void warnBeforeTheNight();
  bool confirmed();
  SeriesOutcome runSeries();
  void warnAfterTheNight(const SeriesOutcome& outcome);
  void tellDamagedSettings();
  void announceEnd();
  void ChargerParams();
  Unsaved SauverParams(std::chrono::milliseconds deadline);

  Form1View& view_;
  SeriesServices series_;
  RegistrySettingsStore& settings_;
  std::unique_ptr<SeriesRun> run_; // from its checks to its end
  bool bAnnulation_ = false;
  bool busy_ = false; // a series (or one of its boxes) is under way
  bool askingToStop_ = false;
  Closing closing_ = Closing::No;
  SettingsWorker saved_; // a hung disk holds the settings, never the window
};

// The welcome text shown in Label4, lines separated by carriage returns.
extern const char* const welcomeText;

} // namespace obturix
