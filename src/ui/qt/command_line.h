#pragma once

#include <optional>

namespace obturix {

// What the command line asks for.
struct CommandLine {
  // Answered before any window opens, the program then ending with this
  // status: --help and --version in French on standard output (0), any
  // other argument the usage on standard error (2), no display to open the
  // window on told in French (1) instead of Qt's abort.
  std::optional<int> exitStatus;
  bool night = false; // --nuit: the window and its boxes red on black
  bool large = false; // --grand: the window, its boxes and counter twice as large
};

// Before the application exists: with --grand, Qt's scale doubled (on top of
// any QT_SCALE_FACTOR the user set), so that every length and font doubles
// and the layout stays as drawn.
void scaleAsAsked(const CommandLine& command);

CommandLine readCommandLine(int argc, char** argv);

} // namespace obturix
