#include "exposure/decimal.h"
#include "exposure/duration.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace obturix {
namespace {

struct DurationCase {
  Variant seconds;
  std::optional<long long> milliseconds; // nothing: the sleep step fails
};

void PrintTo(const DurationCase& c, std::ostream* out) {
  *out << variantToText(c.seconds).value_or("<list>").substr(0, 24);
}

class DurationConversion : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationConversion, GivesWholeMillisecondsOrNothing) {
  const auto& [seconds, expected] = GetParam();
  const auto result = durationMilliseconds(seconds);
  ASSERT_EQ(result.has_value(), expected.has_value()) << variantToText(seconds).value_or("<list>");
  if (expected) {
    EXPECT_EQ(result->count(), *expected) << variantToText(seconds).value_or("<list>");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DurationConversion,
    ::testing::Values(
        // Window defaults and plain values.
        DurationCase{"1", 1000}, DurationCase{"0.08", 80}, DurationCase{"2.5", 2500},
        DurationCase{"30", 30000}, DurationCase{"0", 0},
        // Halves go to the even neighbour, decided on the exact decimal.
        DurationCase{"0.0005", 0}, DurationCase{"0.0015", 2}, DurationCase{"0.0025", 2},
        DurationCase{"0.0035", 4}, DurationCase{"1.0005", 1000}, DurationCase{"1.0015", 1002},
        DurationCase{"0.00050000000000000001", 1}, DurationCase{"0.0004999", 0},
        DurationCase{"0.0006", 1}, DurationCase{"0.00001", 0},
        // Either separator, blanks, signs and exponents.
        DurationCase{"0,08", 80}, DurationCase{"2,5", 2500}, DurationCase{" 2.5\t", 2500},
        DurationCase{"+1", 1000}, DurationCase{".5", 500}, DurationCase{"5.", 5000},
        DurationCase{"1e3", 1000000}, DurationCase{"25E-1", 2500}, DurationCase{"1e-400", 0},
        DurationCase{"-0", 0}, DurationCase{"007", 7000},
        // The edge of a signed 32-bit count of milliseconds.
        DurationCase{"2147483.647", 2147483647}, DurationCase{"2147483.6474", 2147483647},
        DurationCase{"2147483.6475", std::nullopt}, DurationCase{"2147483.648", std::nullopt},
        DurationCase{"1e400", std::nullopt}, DurationCase{std::string(300, '9'), std::nullopt},
        // Not a number, or negative.
        DurationCase{"", std::nullopt}, DurationCase{" ", std::nullopt},
        DurationCase{"abc", std::nullopt}, DurationCase{"1.5.2", std::nullopt},
        DurationCase{"1,5,2", std::nullopt}, DurationCase{"1 000", std::nullopt},
        DurationCase{".", std::nullopt}, DurationCase{"1e", std::nullopt},
        DurationCase{"1e+", std::nullopt}, DurationCase{"0x10", std::nullopt},
        DurationCase{"inf", std::nullopt}, DurationCase{"nan", std::nullopt},
        DurationCase{"-5", std::nullopt}, DurationCase{"-0.0001", std::nullopt},
        DurationCase{"\xc2\xbd", std::nullopt}, DurationCase{"\xd9\xa3", std::nullopt},
        DurationCase{std::string(10000, 'x'), std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    NumbersAndOtherValues, DurationConversion,
    ::testing::Values(DurationCase{2.5, 2500}, DurationCase{0.0015, 2}, DurationCase{0.0025, 2},
                      DurationCase{0.08, 80}, DurationCase{3, 3000},
                      DurationCase{-1.0, std::nullopt}, DurationCase{1e300, std::nullopt},
                      DurationCase{Variant(), std::nullopt},
                      DurationCase{Variant(Variant::List{"1"}), std::nullopt}));

TEST(DecimalParsing, KeepsTheExactDigitsOfLongNumbers) {
  const auto number = parseDecimal("000123.4500e2");
  ASSERT_TRUE(number);
  EXPECT_FALSE(number->negative);
  EXPECT_EQ(number->digits, "12345");
  EXPECT_EQ(number->exponent, 0);
  const std::string manyDigits = "1." + std::string(5000, '0') + "1";
  EXPECT_EQ(roundShifted(*parseDecimal(manyDigits), 0), 1);
  EXPECT_EQ(roundShifted(*parseDecimal("-2.5"), 0), -2);
  EXPECT_EQ(roundShifted(*parseDecimal("-3.5"), 0), -4);
}

} // namespace
} // namespace obturix
