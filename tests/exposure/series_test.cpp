#include "exposure/series.h"

#include <gtest/gtest.h>

#include <limits>

namespace obturix {
namespace {

TEST(CycleCount, CountsTheWholeNumbersFromOneUpToTheCount) {
  const struct {
    const char* count;
    std::optional<std::int64_t> cycles;
  } cases[] = {
      {"3", 3},
      {"2.5", 2},
      {"2,9", 2},
      {"1", 1},
      {"0.99", 0},
      {"0", 0},
      {"-1", 0},
      {"-0.5", 0},
      {"1e3", 1000},
      {"1200e-2", 12},
      {" 4 ", 4},
      {"123456789012345678901234567890", std::numeric_limits<std::int64_t>::max()},
      {"", std::nullopt},
      {"trois", std::nullopt},
      {"3 pauses", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cycleCount(c.count), c.cycles) << c.count;
}

TEST(SeriesRefusal, MirrorTimingsCountOnlyWhenTheMirrorIsRaised) {
  SeriesParams params{"1", "1", "1", 7, "COM1", "abc", "-1"};
  EXPECT_EQ(seriesRefusal(params), std::nullopt);
  params.mirror = 6;
  ASSERT_TRUE(seriesRefusal(params));
  EXPECT_TRUE(seriesRefusal(params)->starts_with("La durée de l'impulsion"));
  params.pulse = "0,08";
  EXPECT_TRUE(seriesRefusal(params)->starts_with("L'intervalle entre le verrouillage"));
  params.settle = "0";
  EXPECT_EQ(seriesRefusal(params), std::nullopt);
}

} // namespace
} // namespace obturix
