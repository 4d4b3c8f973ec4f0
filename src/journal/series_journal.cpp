#include "journal/series_journal.h"

namespace obturix {

// The wall clock read between two readings of the presses' clock, paired
// with their middle.
SeriesJournal::Start SeriesJournal::readTogether(const ExposureCycle& cycle,
                                                 const WallClock& wallClock) {
  const auto before = cycle.now();
  const auto wall = wallClock.now();
  const auto after = cycle.now();
  return {before + (after - before) / 2, wall};
}

SeriesJournal::SeriesJournal(std::shared_ptr<JournalFolder> folder, const WallClock& wallClock,
                             const ExposureCycle& cycle, const SeriesPlan& plan)
    : wallClock_(wallClock), cycle_(cycle), plan_(plan), start_(readTogether(cycle, wallClock)),
      writer_(std::move(folder), journalStem(wallClock.local(start_.wall))) {
  const auto later = std::chrono::duration_cast<std::chrono::system_clock::duration>(plan_.startIn);
  writer_.write(journalOpening(plan_, instant(start_.wall),
                               later.count() > 0 ? std::optional(instant(start_.wall + later))
                                                 : std::nullopt),
                journalOpeningPart);
}

// Only the instants are read here; the line is made on the writer's thread
// from copies, which it may outlive this journal with.
void SeriesJournal::press(std::int64_t exposure, const PressRecord& press) {
  writer_.write(
      [exposure, press, pressed = onWall(press.pressed), released = onWall(press.released),
       port = plan_.port()] { return journalPressLine(exposure, press, pressed, released, port); },
      exposure);
}

void SeriesJournal::end(SeriesEnd how, const PressCount& presses) {
  writer_.write(journalClosing(how, onWall(cycle_.now()), presses, plan_.asked(), plan_.mirror),
                journalClosingPart);
}

JournalInstant SeriesJournal::instant(std::chrono::system_clock::time_point moment) const {
  using namespace std::chrono;
  const auto second = floor<seconds>(moment);
  return {wallClock_.local(second), utcTime(second),
          static_cast<int>(duration_cast<milliseconds>(moment - second).count())};
}

JournalInstant SeriesJournal::onWall(std::chrono::nanoseconds onPressClock) const {
  return instant(start_.wall + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                   onPressClock - start_.pressClock));
}

} // namespace obturix
