#include "timing/wall_clock.h"

#include <algorithm>

namespace obturix {

namespace {

class SystemWallClock final : public WallClock {
public:
  std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::now();
  }
  LocalTime local(std::chrono::system_clock::time_point moment) const override {
    const std::tm parts = localParts(std::chrono::system_clock::to_time_t(moment));
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     std::min(parts.tm_sec, 59)}; // no leap second
  }
  // Where the clock is put back (summer time's end), the first of the two.
  std::optional<std::chrono::system_clock::time_point>
  moment(const LocalTime& local) const override {
    std::tm parts{};
    parts.tm_year = local.year - 1900;
    parts.tm_mon = local.month - 1;
    parts.tm_mday = local.day;
    parts.tm_hour = local.hour;
    parts.tm_min = local.minute;
    parts.tm_sec = local.second;
    parts.tm_isdst = -1;
    const std::time_t made = std::mktime(&parts);
    if (made == static_cast<std::time_t>(-1))
      return std::nullopt;
    return std::chrono::system_clock::from_time_t(made);
  }
};

} // namespace

LocalTime utcTime(std::chrono::system_clock::time_point moment) {
  using namespace std::chrono;
  const auto day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss time{floor<seconds>(moment - day)};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()),
          static_cast<int>(time.seconds().count())};
}

std::chrono::system_clock::time_point utcMoment(const LocalTime& utc) {
  using namespace std::chrono;
  const sys_days firstOfMonth{year(utc.year) / month(static_cast<unsigned>(utc.month)) / 1};
  return firstOfMonth + days(utc.day - 1) + hours(utc.hour) + minutes(utc.minute) +
         seconds(utc.second);
}

std::unique_ptr<WallClock> makeSystemWallClock() { return std::make_unique<SystemWallClock>(); }

} // namespace obturix
