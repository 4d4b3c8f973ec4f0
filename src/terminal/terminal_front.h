#pragma once

#include "series/series_run.h"
#include "terminal/console.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <optional>
#include <string>

namespace obturix {

// Shows a series on a terminal: one progress line rewritten in place (the
// exposure under way of how many, the time left, the end, the exposures
// lost), a press that failed on a line of its own, at once. Elsewhere (a
// log, a pipe) a line per exposure, each with its local time. In red for
// night vision where colours show.
class TerminalFront final : public SeriesFront {
public:
  TerminalFront(Console& console, const WallClock& clock, bool night)
      : console_(console), clock_(clock), night_(night && console.colours()) {}

  void progress(const SeriesProgress& progress) override;
  void tellAtOnce(const std::string& text) override;

  // A line of its own, outside the progress line.
  void say(const std::string& text);
  // Before the first press of a series that starts later: the time left,
  // shown again each second on a terminal (call often).
  void countDown(std::chrono::milliseconds left, const LocalTime& firstPress);

private:
  void show(const std::string& line);
  void eraseLine();
  std::string coloured(const std::string& text) const;
  std::string stamped(const std::string& text) const;

  Console& console_;
  const WallClock& clock_;
  bool night_;
  std::string shown_; // the progress line as shown, to rewrite it
  std::int64_t current_ = 0;
  std::optional<std::int64_t> secondsShown_; // of the count down
};

} // namespace obturix
