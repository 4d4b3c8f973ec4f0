#include "app/module1.h"
#include "ui/win32/win32_form1.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// --OPTION or /OPTION, as Windows writes options, in any case.
bool asked(const wchar_t* option) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  bool found = false;
  for (int i = 1; arguments && i < count; ++i) {
    const wchar_t* argument = arguments[i];
    if (argument[0] == L'-' && argument[1] == L'-')
      argument += 2;
    else if (argument[0] == L'/')
      argument += 1;
    else
      continue;
    found = found || lstrcmpiW(argument, option) == 0;
  }
  LocalFree(arguments);
  return found;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  obturix::Module1 module;
  // --nuit: night vision; --grand: twice as large.
  obturix::Main<obturix::Win32Form1>(module, asked(L"nuit"), asked(L"grand"));
  return 0;
}
