#include "terminal/command_arguments.h"
#include "text/wide_text_win32.h"

#include <windows.h>

#include <shellapi.h>

namespace obturix {

std::vector<std::string> commandArguments(int, char**) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 1; arguments && i < count; ++i)
    utf8.push_back(narrow(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

} // namespace obturix
