#include "app/module1.h"
#include "ui/win32/win32_form1.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// --nuit, or /nuit as Windows writes options, in any case: night vision.
bool askedForNight() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  bool night = false;
  for (int i = 1; arguments && i < count; ++i)
    night =
        night || lstrcmpiW(arguments[i], L"--nuit") == 0 || lstrcmpiW(arguments[i], L"/nuit") == 0;
  LocalFree(arguments);
  return night;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  obturix::Module1 module;
  obturix::Main<obturix::Win32Form1>(module, askedForNight());
  return 0;
}
