#include "terminal/start_time.h"

#include "text/french.h"
#include "text/quoting.h"

#include <cctype>
#include <string_view>

namespace obturix {

namespace {

void skipBlanks(const std::string& text, std::size_t& at) {
  while (at < text.size() && text[at] == ' ')
    ++at;
}

// Reads a whole number at `at`, blanks before it skipped; nothing when none
// is there.
std::optional<long long> numberAt(const std::string& text, std::size_t& at) {
  skipBlanks(text, at);
  long long number = 0;
  const std::size_t first = at;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    number = number * 10 + (text[at] - '0');
    if (number > 1'000'000'000)
      return std::nullopt;
  }
  return at > first ? std::optional(number) : std::nullopt;
}

// The unit after a number, blanks skipped: "h", "min" (also written "m"),
// "s", or "".
std::string unitAt(const std::string& text, std::size_t& at) {
  skipBlanks(text, at);
  for (const std::string_view unit : {"min", "h", "m", "s"})
    if (text.compare(at, unit.size(), unit) == 0) {
      at += unit.size();
      return unit == "m" ? "min" : std::string(unit);
    }
  return "";
}

struct TimeOfDay {
  int hour, minute;
};

std::optional<TimeOfDay> readTimeOfDay(const std::string& typed) {
  std::size_t at = 0;
  const auto hour = numberAt(typed, at);
  if (!hour || *hour > 23)
    return std::nullopt;
  long long minute = 0;
  if (at < typed.size() && (typed[at] == ':' || typed[at] == 'h')) {
    ++at;
    if (at < typed.size()) {
      const auto given = numberAt(typed, at);
      if (!given || *given > 59)
        return std::nullopt;
      minute = *given;
    }
  }
  skipBlanks(typed, at);
  if (at != typed.size())
    return std::nullopt;
  return TimeOfDay{static_cast<int>(*hour), static_cast<int>(minute)};
}

} // namespace

std::optional<std::chrono::seconds> readDelay(const std::string& typed) {
  constexpr long long week = 7 * 24 * 3600;
  long long total = 0;
  std::string previous;
  std::size_t at = 0;
  while (at < typed.size()) {
    const auto number = numberAt(typed, at);
    if (!number)
      return std::nullopt;
    std::string unit = unitAt(typed, at);
    if (unit.empty())
      unit = previous == "h" ? "min" : previous.empty() ? "s" : "";
    if (unit.empty() || unit == previous)
      return std::nullopt;
    total += *number * (unit == "h" ? 3600 : unit == "s" ? 1 : 60);
    if (total > week)
      return std::nullopt;
    previous = unit;
    skipBlanks(typed, at);
  }
  if (previous.empty())
    return std::nullopt;
  return std::chrono::seconds(total);
}

std::variant<std::chrono::milliseconds, std::string>
timeToStart(const std::optional<std::string>& delay, const std::optional<std::string>& at,
            const WallClock& clock) {
  using namespace std::chrono;
  if (delay) {
    const auto read = readDelay(*delay);
    if (!read)
      return typeset("L'option --dans attend une durée d'au plus 7 jours, comme « 90s », "
                     "« 45min » ou « 1h30 », et non " +
                     shown(*delay) + ".");
    return duration_cast<milliseconds>(*read);
  }
  if (!at)
    return milliseconds(0);
  const auto time = readTimeOfDay(*at);
  if (!time)
    return typeset("L'option --debut attend une heure comme « 22:15 » ou « 22h », et non " +
                   shown(*at) + ".");
  const auto now = clock.now();
  LocalTime then = clock.local(now);
  then.hour = time->hour;
  then.minute = time->minute;
  then.second = 0;
  auto moment = clock.moment(then);
  if (moment && *moment <= now) {
    ++then.day; // tomorrow: carried over to the next month where it must
    moment = clock.moment(then);
  }
  if (!moment)
    return typeset("L'heure " + shown(*at) + " n'existe pas ici (changement d'heure).");
  return ceil<milliseconds>(*moment - now);
}

} // namespace obturix
