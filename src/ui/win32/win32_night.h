#pragma once

#include "window/colour_scheme.h"

#include <windows.h>

#include <optional>

namespace obturix {

inline COLORREF win32Colour(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }
inline Colour schemeColour(COLORREF colour) {
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// Night vision for the program's windows, the main one and its boxes: the
// night scheme's brushes, and what the system would draw in its own colours
// (push buttons, check boxes, frames, fields with their text, selection,
// caret and borders) drawn in the scheme's, their visual styles off. One for
// the program's life, made before its first window.
class Win32Night {
public:
  Win32Night();
  ~Win32Night();
  Win32Night(const Win32Night&) = delete;
  Win32Night& operator=(const Win32Night&) = delete;

  const ColourScheme& scheme() const { return scheme_; }
  HBRUSH brush(Colour colour) const;

  // Every child of `window` drawn in the night scheme from now on, and the
  // title bar dark where the system offers it.
  void dress(HWND window) const;
  // The same for a box, which also answers its labels' colours itself.
  void dressBox(HWND box) const;
  // A tooltip window: its visual style off, its background and text the
  // scheme's (as a button's face and a field's text).
  void dressToolTips(HWND tips) const;
  // What `window` answers for its background and its labels (WM_CTLCOLOR*,
  // WM_ERASEBKGND); nothing for any other message.
  std::optional<LRESULT> answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
  const ColourScheme& scheme_;
  HBRUSH window_, base_, highlightedText_;
};

} // namespace obturix
