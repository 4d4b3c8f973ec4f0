#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace obturix::camera {

// One press of the shutter release: from the port's open to its close.
struct Press {
  int number;
  std::chrono::nanoseconds start;
  std::chrono::nanoseconds length;
  std::optional<std::chrono::nanoseconds> pauseBefore; // since the previous release
  bool operator==(const Press&) const = default;
};

// Turns the opens and closes of the port into presses. Nested opens (the
// same port opened twice) count as one press, from the first open to the
// last close.
class PressRecorder {
public:
  void opened(std::chrono::nanoseconds when);
  // The press that this close ends, if it ends one.
  std::optional<Press> closed(std::chrono::nanoseconds when);

private:
  int openCount_ = 0;
  int presses_ = 0;
  std::chrono::nanoseconds pressStart_{0};
  std::optional<std::chrono::nanoseconds> lastRelease_;
};

// "Appui 2 : début 19:27:03,512, durée 1 000,300 ms, pause avant 2 000,100 ms"
// with French typography (the start in local time of day, to the millisecond).
std::string describe(const Press& press, std::chrono::system_clock::time_point start);

// A length to the microsecond, the French way: "80,072 ms", "10 127,309 ms".
std::string frenchMilliseconds(std::chrono::nanoseconds d);

// A press's length and the pause before it, as describe() writes them:
// "1 000,300 ms, pause avant 2 000,100 ms".
std::string lengthAndPause(const Press& press);

} // namespace obturix::camera
