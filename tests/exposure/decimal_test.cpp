#include "exposure/duration.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace obturix {
namespace {

TEST(DurationMilliseconds, ExactHalvesToEvenWithinASigned32BitCount) {
  const std::optional<long long> none;
  const struct {
    Variant seconds;
    std::optional<long long> milliseconds; // nothing: the sleep step fails
  } cases[] = {
      // clang-format off
      {.seconds = "0.08", .milliseconds = 80},
      // halves to the even neighbour, decided on the exact decimal
      {.seconds = "0.0005", .milliseconds = 0},
      {.seconds = "0.0015", .milliseconds = 2},
      {.seconds = "0.0025", .milliseconds = 2},
      {.seconds = "1.0015", .milliseconds = 1002},
      {.seconds = "0.00050000000000000001", .milliseconds = 1},
      // either separator, blanks, exponents
      {.seconds = "2,5", .milliseconds = 2500},
      {.seconds = " .5\t", .milliseconds = 500},
      {.seconds = "25E-1", .milliseconds = 2500},
      {.seconds = "1e-400", .milliseconds = 0},
      // the edge of a signed 32-bit count of milliseconds
      {.seconds = "2147483.647", .milliseconds = 2147483647},
      {.seconds = "2147483.6474", .milliseconds = 2147483647},
      {.seconds = "2147483.6475", .milliseconds = none},
      {.seconds = "1e400", .milliseconds = none},
      // not a number, or negative
      {.seconds = "", .milliseconds = none},
      {.seconds = "abc", .milliseconds = none},
      {.seconds = "inf", .milliseconds = none},
      {.seconds = "-0.0001", .milliseconds = none},
      // numbers, and values with no number form
      {.seconds = 0.0015, .milliseconds = 2},
      {.seconds = -1.0, .milliseconds = none},
      {.seconds = Variant(), .milliseconds = none},
      {.seconds = Variant(Variant::List{"1"}), .milliseconds = none},
      // clang-format on
  };
  for (const auto& c : cases) {
    const auto ms = durationMilliseconds(c.seconds);
    EXPECT_EQ(ms ? std::optional(static_cast<long long>(ms->count())) : none, c.milliseconds)
        << variantToText(c.seconds).value_or("<list>");
  }
}

} // namespace
} // namespace obturix
