#include "exposure/variant.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

TEST(VariantToText, GivesTheShortestExactFormOfNumbers) {
  const struct {
    Variant value;
    std::optional<std::string> text;
  } cases[] = {
      {Variant(), ""}, {"COM1", "COM1"},
      {6, "6"},        {0.08, "0.08"},
      {-2.5, "-2.5"},  {0.0015, "0.0015"},
      {1e21, "1e+21"}, {Variant(Variant::List{"a"}), std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(variantToText(c.value), c.text);
}

} // namespace
} // namespace obturix
