#pragma once

#include <cstdint>

namespace obturix {

// A colour as the screen shows it: 8-bit sRGB components.
struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour black{0, 0, 0};
inline constexpr Colour white{255, 255, 255};

// Relative luminance (WCAG): 0 for black, 1 for white.
double relativeLuminance(Colour colour);

// (lighter + 0.05) / (darker + 0.05): from 1 (the same) to 21 (black on white).
double contrastRatio(Colour one, Colour other);

// The counter's digits on its background, the scheme's highlighted-text
// colour: the window text where it stands out from it (4.5 : 1), otherwise
// whichever of the highlight, black and white stands out most, so that no
// scheme (a dark desktop theme) leaves the counter white on white.
Colour counterDigitColour(Colour background, Colour windowText, Colour highlight);

// The colours of the window and of its boxes.
struct ColourScheme {
  Colour window, windowText;   // the window's and the boxes' background, labels, captions
  Colour base, text;           // inside a field
  Colour disabledText;         // a disabled field's text, on the window's colour
  Colour button, buttonText;   // push buttons
  Colour light, mid, dark;     // bevels, frames and borders
  Colour highlight, highlightedText; // a selection, the focus; the counter's background
};

// Night vision: deep red on black, for a dark field. No green, no blue;
// every text at least 3 : 1 against its background, the counter's digits
// 4.5 : 1 against its own.
const ColourScheme& nightScheme();

} // namespace obturix
