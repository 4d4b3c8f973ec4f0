#include "press_recorder.h"

#include <cstdio>
#include <ctime>

namespace obturix::camera {

namespace {

// Milliseconds to the microsecond, with a decimal comma: "80,072".
std::string milliseconds(std::chrono::nanoseconds d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(d.count()) / 1e6);
  std::string french = text;
  if (const auto point = french.find('.'); point != std::string::npos)
    french[point] = ',';
  return french;
}

} // namespace

void PressRecorder::opened(std::chrono::nanoseconds when) {
  if (openCount_++ == 0)
    pressStart_ = when;
}

std::optional<Press> PressRecorder::closed(std::chrono::nanoseconds when) {
  if (openCount_ == 0 || --openCount_ > 0)
    return std::nullopt;
  Press press{++presses_, pressStart_, when - pressStart_, std::nullopt};
  if (lastRelease_)
    press.pauseBefore = pressStart_ - *lastRelease_;
  lastRelease_ = when;
  return press;
}

std::string describe(const Press& press, std::chrono::system_clock::time_point start) {
  const auto seconds = std::chrono::system_clock::to_time_t(start);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count() %
      1000;
  char line[160];
  int used = std::snprintf(line, sizeof line, "Appui %d : début %02d:%02d:%02d.%03lld, durée %s ms",
                           press.number, local.tm_hour, local.tm_min, local.tm_sec,
                           static_cast<long long>(millis), milliseconds(press.length).c_str());
  if (press.pauseBefore && used > 0)
    std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), ", pause avant %s ms",
                  milliseconds(*press.pauseBefore).c_str());
  return line;
}

} // namespace obturix::camera
