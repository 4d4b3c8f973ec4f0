#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

namespace obturix {

// What the terminal command is asked to do, as its command line says.
struct SerieOptions {
  enum class Action { Run, Help, Version, Status, Stop };
  Action action = Action::Run;
  // The series' values given; the others are the window's.
  std::optional<std::string> count, exposure, interval, pulse, settle, port;
  std::optional<bool> mirror;
  bool night = false;
  bool save = false;   // the values used kept for the window
  bool resume = false; // take up the newest journal's series
  // When the first press comes, as typed: a time of day, or a delay.
  std::optional<std::string> startAt, startIn;
};

// Reads the arguments after the program's name, GNU style: `-n 5`, `-n5`,
// `--nombre=5`, `--nombre 5`, short flags together (`-mn5`), a long option
// by any prefix that names only it, `--` before anything that is not an
// option. Why not, in French, when they cannot be read.
std::variant<SerieOptions, std::string> readSerieOptions(std::span<const std::string> arguments);

// What the user writes to name each option, for the messages.
namespace option_name {
inline constexpr const char* count = "--nombre";
inline constexpr const char* exposure = "--pose";
inline constexpr const char* interval = "--intervalle";
inline constexpr const char* mirror = "--miroir";
inline constexpr const char* pulse = "--impulsion";
inline constexpr const char* settle = "--attente";
inline constexpr const char* port = "--port";
} // namespace option_name

} // namespace obturix
