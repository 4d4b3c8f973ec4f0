#include "terminal/command_arguments.h"

namespace obturix {

std::vector<std::string> commandArguments(int argc, char** argv) {
  return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

} // namespace obturix
