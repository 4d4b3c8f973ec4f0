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
  const std::string range =
      " doit être un nombre de secondes compris entre 0 et 2\u00A0147\u00A0483,647.";
  const std::string tooMany =
      "Le nombre de pauses ne peut pas dépasser 2\u00A0147\u00A0483\u00A0647.";
  const int no = answerNo, yes = answerYes;
  const struct {
    SeriesParams params; // count, exposure, interval, mirror, port, pulse, settle
    std::optional<std::string> refusal;
  } cases[] = {
      // clang-format off
      {{"1", "1", "1", no, "COM1", "abc", "-1"}, std::nullopt},
      {{"", "1", "1", no, "COM1", "1", "1"}, "Le nombre de pauses doit être écrit en chiffres."},
      {{"2147483647", "1", "1", no, "COM1", "1", "1"}, std::nullopt},
      {{"2147483648", "1", "1", no, "COM1", "1", "1"}, tooMany},
      {{"1e400", "1", "1", no, "COM1", "1", "1"}, tooMany},
      {{std::string(40, '9'), "1", "1", no, "COM1", "1", "1"}, tooMany},
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
  const auto missed = [](std::int64_t failed, std::int64_t asked, PortFailure::Cause cause) {
    return missedPressesWarning({asked, failed, {cause, "Erreur d'entrée/sortie"}}, "P");
  };
  using enum PortFailure::Cause;
  const std::string gone = ", car le port « P » a disparu (câble débranché ?).";
  const struct {
    std::string text, expected;
  } cases[] = {
      {missingPortRefusal(std::string("a\0\rb", 4), {}), "Le port « a??b »" + noPort},
      {missingPortRefusal(std::string(100, 'x'), {}),
       "Le port « " + std::string(60, 'x') + "… »" + noPort},
      {forbiddenPortRefusal("P", "", "jean"),
       "Vous n'avez pas le droit d'ouvrir le port « P ». Demandez à l'administrateur de cet "
       "ordinateur de vous en donner l'accès."},
      // how many, and why the first one could not be made
      {missed(1, 10, Gone), "Attention : un des 10 déclenchements n'a pas eu lieu" + gone},
      {missed(2, 10, Gone), "Attention : 2 des 10 déclenchements n'ont pas eu lieu" + gone},
      {missed(10, 10, Gone), "Attention : aucun des 10 déclenchements n'a eu lieu" + gone},
      {missed(1, 1, Forbidden),
       "Attention : le déclenchement n'a pas eu lieu, car l'accès au port « P » a été refusé."},
      {missed(1, 1, Busy), "Attention : le déclenchement n'a pas eu lieu, car le port « P » est "
                           "utilisé par un autre programme."},
      {missed(1, 1, Other), "Attention : le déclenchement n'a pas eu lieu, car le port « P » n'a "
                            "pas pu être ouvert (Erreur d'entrée/sortie)."},
      {notSerialPortRefusal("/tmp"), "« /tmp » n'est pas un port série."},
      // the port's lock file names who holds it
      {portInUseRefusal("P", PortHolder{"minicom", 4242}),
       "Le port « P » est utilisé par un autre programme (minicom, processus 4242)."},
      {portInUseRefusal("P", PortHolder{"obturix", 7}),
       "Le port « P » est déjà utilisé par une autre série en cours."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, c.expected);
}

} // namespace
} // namespace obturix
