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
};

CommandLine readCommandLine(int argc, char** argv);

} // namespace obturix
