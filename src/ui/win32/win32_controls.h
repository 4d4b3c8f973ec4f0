#pragma once

#include "window/control.h"

#include <windows.h>

#include <array>
#include <string>

namespace obturix {

using Win32Controls = std::array<HWND, controlCount>;

// A control's identifier: its index in the table from here, clear of IDOK
// and IDCANCEL, which the dialog keys send.
inline constexpr std::size_t controlIdBase = 100;

// The fonts the controls are drawn in, for the window's life.
struct Win32Fonts {
  HFONT dialog = nullptr;  // "MS Sans Serif" 8 pt, or the system's dialog font
  HFONT counter = nullptr; // "MS Sans Serif" 18 pt bold
  ~Win32Fonts();
};

// A window's text, whole.
std::wstring textOf(HWND window);

// The size of a length in twips on a screen of `dpi` dots per inch.
int pixelsOf(int twips, UINT dpi);
// The screen's dots per inch (96 at 100 %: 15 twips to the pixel).
UINT screenDpi();

// Creates the main window's 21 controls on `window` from the control table,
// at their places for `dpi` (the controls inside a frame at the
// frame's place plus theirs), with their captions, alignments, initial states
// and fonts; each field just after its label in the stacking order, so that
// screen readers name it after that label, and the frames below everything.
Win32Controls createControls(HWND window, const Win32Fonts& fonts, UINT dpi);

// The control after (or before) `from` in the focus order that can take the
// focus: enabled, and neither a label nor a frame.
HWND nextInTabOrder(const Win32Controls& controls, HWND from, bool backwards);

} // namespace obturix
