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
      {"2.5", 2},
      {"0.99", 0},
      {"-1", 0},
      {"1200e-2", 12},
      {"123456789012345678901234567890", std::numeric_limits<std::int64_t>::max()},
      {"", std::nullopt},
      {"3 pauses", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cycleCount(c.count), c.cycles) << c.count;
}

// The mirror timings count only when the mirror is raised.
TEST(SeriesRefusal, NamesTheFirstValueThatCannotBeUsed) {
  const std::string range = " doit être un nombre de secondes compris entre 0 et 2147483,647.";
  const int no = answerNo, yes = answerYes;
  const struct {
    SeriesParams params; // count, exposure, interval, mirror, port, pulse, settle
    std::optional<std::string> refusal;
  } cases[] = {
      // clang-format off
      {{"1", "1", "1", no, "COM1", "abc", "-1"}, std::nullopt},
      {{"", "1", "1", no, "COM1", "1", "1"}, "Le nombre de pauses doit être un nombre."},
      {{"1", "2147484", "1", no, "COM1", "1", "1"}, "Le temps de pause" + range},
      {{"1", "1", "", no, "COM1", "1", "1"}, "L'intervalle entre les pauses" + range},
      {{"1", "1", "1", yes, "COM1", "abc", "1"}, "La durée de l'impulsion pour le verrouillage du miroir" + range},
      {{"1", "1", "1", yes, "COM1", "0,08", "-1"}, "L'intervalle entre le verrouillage du miroir et le début de la pause" + range},
      {{"0", "", "", yes, "COM1", "x", "x"}, std::nullopt}, // no cycle, no duration used
      // clang-format on
  };
  for (const auto& c : cases)
    EXPECT_EQ(seriesRefusal(c.params), c.refusal) << c.refusal.value_or("accepted");
}

TEST(SeriesTexts, SayInFrenchWhatWentWrong) {
  const std::string noPort = " n'existe pas sur cet ordinateur.\rAucun port série n'a été trouvé.";
  const std::string where = " : le port « P » n'a pas pu être ouvert.";
  const struct {
    std::string text, expected;
  } cases[] = {
      {missingPortRefusal(std::string("a\0\rb", 4), {}), "Le port « a??b »" + noPort},
      {missingPortRefusal(std::string(100, 'x'), {}),
       "Le port « " + std::string(60, 'x') + "… »" + noPort},
      {forbiddenPortRefusal("P", "", "jean"),
       "Vous n'avez pas le droit d'ouvrir le port « P ». Demandez à l'administrateur de cet "
       "ordinateur de vous en donner l'accès."},
      {missedPressesWarning(1, 10, "P"),
       "Attention : 1 des 10 déclenchements n'a pas eu lieu" + where},
      {missedPressesWarning(10, 10, "P"),
       "Attention : aucun des 10 déclenchements n'a eu lieu" + where},
      {missedPressesWarning(1, 1, "P"), "Attention : le déclenchement n'a pas eu lieu" + where},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, c.expected);
}

} // namespace
} // namespace obturix
