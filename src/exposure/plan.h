#pragma once

#include "exposure/answer_codes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace obturix {

// The parameters of a series as typed, captured once when it starts.
struct SeriesParams {
  std::string count;
  std::string exposure;
  std::string interval;
  int mirror = answerNo; // answerYes: raise the mirror before each exposure
  std::string port;
  std::string pulse;
  std::string settle;
};

// How many cycles a count gives: every whole number from 1 up to it, so
// "2.5" gives 2 and "0" or "-1" none. Nothing when the count is not a number.
std::optional<std::int64_t> cycleCount(const std::string& count);

// The longest a series is told to last: beyond, « plus d'un siècle », and no
// end date.
inline constexpr std::chrono::milliseconds century{3'155'760'000'000};

// A series read once, before anything is claimed or pressed: how many
// cycles, the four durations (the mirror's counted only when it is raised),
// the port, and the values as typed, which the exposure cycle takes.
struct SeriesPlan {
  SeriesParams typed;
  std::int64_t cycles = 0;
  bool mirror = false;
  std::chrono::milliseconds exposure{0}, interval{0}, pulse{0}, settle{0};
  // A series taken up where an earlier one stopped makes its exposures from
  // `first` on, and its journal names the earlier one's.
  std::int64_t first = 1;
  std::string takesUp;
  // How long after it starts (its port claimed) its first press comes.
  std::chrono::milliseconds startIn{0};

  const std::string& port() const { return typed.port; }
  // The exposures it makes: from `first` to the last.
  std::int64_t asked() const { return cycles >= first ? cycles - first + 1 : 0; }
  // One cycle: the mirror's pulse and the wait after it when it is raised,
  // the exposure and the interval.
  std::chrono::milliseconds cycle() const;
  // The cycles from `from` to the last, capped at a century.
  std::chrono::milliseconds left(std::int64_t from) const;
  // Its cycles, from the first it makes.
  std::chrono::milliseconds length() const { return left(first); }
};

} // namespace obturix
