#include "window/colour_scheme.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

// The counter's digits stand out from its background under the desktop's
// light scheme, a dark one (where the window text is as light as the
// background) and the night scheme (where they stay red).
TEST(ColourScheme, TheCounterIsReadableUnderEveryScheme) {
  const ColourScheme& night = nightScheme();
  const struct {
    const char* scheme;
    Colour highlightedText, windowText, highlight, digits;
  } cases[] = {
      {"light", white, black, {48, 140, 198}, black},
      {"dark", white, {238, 238, 236}, {21, 83, 158}, black},
      {"dark, light highlight", {40, 40, 40}, {50, 50, 50}, {250, 250, 250}, white},
      {"night", night.highlightedText, night.windowText, night.highlight, night.windowText},
  };
  for (const auto& c : cases) {
    const Colour digits = counterDigitColour(c.highlightedText, c.windowText, c.highlight);
    EXPECT_EQ(digits, c.digits) << c.scheme;
    EXPECT_GE(contrastRatio(digits, c.highlightedText), 4.5) << c.scheme;
  }
}

// Night vision keeps the eyes' dark adaptation: red only, every text
// readable on its own background.
TEST(ColourScheme, NightIsRedOnBlackAndReadable) {
  const ColourScheme& n = nightScheme();
  for (const Colour c : {n.window, n.windowText, n.base, n.text, n.disabledText, n.button,
                         n.buttonText, n.light, n.mid, n.dark, n.highlight, n.highlightedText})
    EXPECT_TRUE(c.green == 0 && c.blue == 0);
  const std::pair<Colour, Colour> texts[] = {{n.windowText, n.window},
                                             {n.text, n.base},
                                             {n.disabledText, n.window},
                                             {n.buttonText, n.button},
                                             {n.highlightedText, n.highlight}};
  for (const auto& [text, background] : texts)
    EXPECT_GE(contrastRatio(text, background), 3.0)
        << int(text.red) << " on " << int(background.red);
  EXPECT_LT(relativeLuminance(n.window), 0.01);
}

} // namespace
} // namespace obturix
