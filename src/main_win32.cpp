#include "ui/win32/win32_form1.h"
#include "window/module1.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  obturix::Module1 module;
  obturix::Main<obturix::Win32Form1>(module);
  return 0;
}
