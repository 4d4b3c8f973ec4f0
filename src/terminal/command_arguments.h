#pragma once

#include <string>
#include <vector>

namespace obturix {

// The program's arguments after its name, in UTF-8 (on Windows, read again
// from the system's UTF-16 command line: `argv` has them in the ANSI code
// page, where a letter may have become another).
std::vector<std::string> commandArguments(int argc, char** argv);

} // namespace obturix
