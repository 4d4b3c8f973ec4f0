#pragma once

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>

namespace obturix {

// A moment as the user's clock and calendar show it.
struct LocalTime {
  int year = 0, month = 0, day = 0; // month 1 to 12
  int hour = 0, minute = 0, second = 0;
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The wall clock and the user's time zone, for what the window tells of the
// night (when a series ends); never used to time a step.
class WallClock {
public:
  virtual ~WallClock() = default;
  virtual std::chrono::system_clock::time_point now() const = 0;
  virtual LocalTime local(std::chrono::system_clock::time_point moment) const = 0;
  // The moment the user's clock shows `local` (a day or an hour out of
  // range carried over to the next); nothing when the system cannot tell.
  virtual std::optional<std::chrono::system_clock::time_point>
  moment(const LocalTime& local) const = 0;
};

std::unique_ptr<WallClock> makeSystemWallClock();

// A moment in the user's time zone, as the system breaks it down.
std::tm localParts(std::time_t moment);

// A moment as UTC's calendar and clock show it (to the second below).
LocalTime utcTime(std::chrono::system_clock::time_point moment);

// The moment UTC's calendar and clock show as `utc` (out of range carried
// over, as above).
std::chrono::system_clock::time_point utcMoment(const LocalTime& utc);

} // namespace obturix
