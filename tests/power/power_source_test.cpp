#include "power/power_source.h"

#include <gtest/gtest.h>

#include <limits>

namespace obturix {
namespace {

// What no battery can say is no answer, rather than words of nonsense.
TEST(PowerSource, AnAnswerOutsideSenseIsNoAnswer) {
  using std::chrono::seconds;
  const auto huge = std::numeric_limits<std::int64_t>::max();
  const struct {
    PowerState answer;
    bool kept;
  } cases[] = {
      {{true, 35, seconds(6600)}, true},
      {{true, -1, std::nullopt}, true}, // a charge the system does not know
      {{true, 100, seconds(0)}, true},
      {{true, 150, seconds(6600)}, false},
      {{true, -5, std::nullopt}, false},
      {{true, 35, seconds(10'000'000'000'000'000)}, false},
      {{true, 35, seconds(huge)}, false},
      {{true, 35, seconds(-60)}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sensible(c.answer).has_value(), c.kept)
        << c.answer.percentage << " % " << (c.answer.timeLeft ? c.answer.timeLeft->count() : 0);
}

} // namespace
} // namespace obturix
