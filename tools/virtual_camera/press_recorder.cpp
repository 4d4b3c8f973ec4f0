#include "press_recorder.h"

#include "text/french.h"

#include <cstdio>
#include <ctime>

namespace obturix::camera {

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
  char startText[16];
  std::snprintf(startText, sizeof startText, "%02d:%02d:%02d,%03lld", local.tm_hour, local.tm_min,
                local.tm_sec, static_cast<long long>(millis));
  return typeset("Appui " + std::to_string(press.number) + " : début " + startText + ", durée " +
                 lengthAndPause(press));
}

std::string frenchMilliseconds(std::chrono::nanoseconds d) {
  return frenchDecimal(std::chrono::round<std::chrono::microseconds>(d).count(), 3) + " ms";
}

std::string lengthAndPause(const Press& press) {
  std::string text = frenchMilliseconds(press.length);
  if (press.pauseBefore)
    text += ", pause avant " + frenchMilliseconds(*press.pauseBefore);
  return text;
}

} // namespace obturix::camera
