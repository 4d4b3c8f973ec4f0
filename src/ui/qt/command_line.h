#pragma once

#include <optional>

namespace obturix {

// What the command line asks before any window opens: --help and
// --version answered in French on standard output (status 0), any other
// argument the usage on standard error (status 2), and no display to open
// the window on told in French (status 1) instead of Qt's abort. Nothing
// when the window may open.
std::optional<int> answeredBeforeTheWindow(int argc, char** argv);

} // namespace obturix
