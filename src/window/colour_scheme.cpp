#include "window/colour_scheme.h"

#include <algorithm>
#include <cmath>

namespace obturix {

namespace {

double linear(std::uint8_t component) {
  const double c = component / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

constexpr Colour red(std::uint8_t level) { return {level, 0, 0}; }

} // namespace

double relativeLuminance(Colour colour) {
  return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
         0.0722 * linear(colour.blue);
}

double contrastRatio(Colour one, Colour other) {
  const double a = relativeLuminance(one), b = relativeLuminance(other);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Colour counterDigitColour(Colour background, Colour windowText, Colour highlight) {
  constexpr double readable = 4.5;
  if (contrastRatio(windowText, background) >= readable)
    return windowText;
  Colour best = highlight;
  for (const Colour candidate : {black, white})
    if (contrastRatio(candidate, background) > contrastRatio(best, background))
      best = candidate;
  return best;
}

// Bright red reads at 4.7 : 1 on black (the counter's digits too), a
// field's text 4.5 : 1 on its dark red, a button's 4.3 : 1; a disabled
// field's, dimmer, 3.1 : 1 on black; a selection's black text 3.5 : 1 on
// its red.
const ColourScheme& nightScheme() {
  static const ColourScheme night{
      .window = black,
      .windowText = red(240),
      .base = red(28),
      .text = red(240),
      .disabledText = red(185),
      .button = red(40),
      .buttonText = red(240),
      .light = red(110),
      .mid = red(70),
      .dark = red(45),
      .highlight = red(200),
      .highlightedText = black,
  };
  return night;
}

} // namespace obturix
