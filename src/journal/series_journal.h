#pragma once

#include "exposure/exposure_cycle.h"
#include "exposure/plan.h"
#include "journal/journal_texts.h"
#include "journal/journal_writer.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <memory>

namespace obturix {

// The journal of one series, begun when it starts: its parameters, each
// press as the timing thread measured it, how it ended. The presses' clock
// is read against the wall clock once, at the start, and every instant, the
// end's included, is told on that one base: each keeps the presses' own
// precision, and a step of the wall clock during the night shows nowhere.
// Each press goes to the writer as it comes, from any thread: its line is
// made on the writer's.
class SeriesJournal {
public:
  SeriesJournal(std::shared_ptr<JournalFolder> folder, const WallClock& wallClock,
                const ExposureCycle& cycle, const SeriesPlan& plan);

  void press(std::int64_t exposure, const PressRecord& press);
  void end(SeriesEnd how, const PressCount& presses);
  JournalOutcome finish(std::chrono::milliseconds deadline) { return writer_.finish(deadline); }

private:
  // The two clocks read at one moment.
  struct Start {
    std::chrono::nanoseconds pressClock;
    std::chrono::system_clock::time_point wall;
  };
  static Start readTogether(const ExposureCycle& cycle, const WallClock& wallClock);
  JournalInstant instant(std::chrono::system_clock::time_point moment) const;
  JournalInstant onWall(std::chrono::nanoseconds onPressClock) const;

  const WallClock& wallClock_;
  const ExposureCycle& cycle_;
  SeriesPlan plan_;
  Start start_;
  JournalWriter writer_;
};

} // namespace obturix
