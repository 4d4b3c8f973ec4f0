#include "journal/journal_texts.h"
#include "serial/port_words.h"
#include "series/series_plan.h"
#include "series/series_words.h"
#include "settings/settings_words.h"

#include <gtest/gtest.h>

#include "registry/registry.h"
#include "text/french.h"
#include "text/system_reason.h"

#include <cerrno>
#include <limits>
#include <regex>

namespace obturix {
namespace {

std::optional<std::string> refusalOf(const SeriesParams& params) {
  const auto plan = readPlan(params);
  if (const auto* refused = std::get_if<PlanRefusal>(&plan))
    return refused->why;
  return std::nullopt;
}

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
      {{std::string(19, '9'), "1", "1", no, "COM1", "1", "1"}, tooMany}, // no wrap to "no cycle"
      {{"1", "2147484", "1", no, "COM1", "1", "1"}, "Le temps de pause" + range},
      {{"1", "1", "", no, "COM1", "1", "1"}, "L'intervalle entre les pauses" + range},
      {{"1", "1", "1", yes, "COM1", "abc", "1"}, "La durée de l'impulsion pour le verrouillage du miroir" + range},
      {{"1", "1", "1", yes, "COM1", "0,08", "-1"}, "L'intervalle entre le verrouillage du miroir et le début de la pause" + range},
      {{"0", "", "", yes, "COM1", "x", "x"}, std::nullopt}, // no cycle, no duration used
      // clang-format on
  };
  for (const auto& c : cases)
    EXPECT_EQ(refusalOf(c.params), c.refusal) << c.refusal.value_or("accepted");
}

PressRecord press(PressResult result, PortFailure failure = {}, bool mirrorPulse = false) {
  PressRecord record;
  record.result = result;
  record.failure = std::move(failure);
  record.mirrorPulse = mirrorPulse;
  return record;
}

// Exposures begun, missed, cut by their port, cut by a stop and made without
// the mirror; the presses that failed, the first of them `first`.
PressCount counted(std::vector<std::int64_t> counts, std::int64_t failed, PressRecord first) {
  PressCount presses;
  presses.exposures = counts[0];
  presses.missed = counts[1];
  presses.cutByPort = counts[2];
  presses.cutByStop = counts[3];
  presses.withoutMirror = counts[4];
  presses.failedPresses = failed;
  presses.firstFailed = std::move(first);
  return presses;
}

PressCount missed(std::int64_t exposures, std::int64_t missed, std::int64_t withoutMirror,
                  PortFailure::Cause cause = PortFailure::Cause::Gone, std::string why = {}) {
  return counted({exposures, missed, 0, 0, withoutMirror}, missed + withoutMirror,
                 press(PressResult::Missed, {cause, std::move(why)}));
}

// Wording fixed here once; the typography of every message is checked below.
TEST(SeriesTexts, SayInFrenchWhatWentWrongAndWhatToDo) {
  using enum PortFailure::Cause;
  const std::string gone = "Cause : le port « P » a disparu (câble débranché ?).";
  const std::string noPort = "Aucun port série n'a été trouvé : branchez l'adaptateur série (ou "
                             "USB-série) de votre câble, puis réessayez.";
  const struct {
    std::string text, expected;
  } cases[] = {
      {missingPortRefusal(std::string("a\0\r\xC0\xAF\xED\xA0\x80", 8), {}), // overlong, surrogate
       "Le port « a??\uFFFD\uFFFD » n'existe pas sur cet ordinateur.\r" + noPort},
      {notSerialPortRefusal("/etc/passwd", {"/dev/ttyS0", "/dev/ttyUSB0"}),
       "« /etc/passwd » n'est pas un port série.\rPorts disponibles : « /dev/ttyS0 », « "
       "/dev/ttyUSB0 »."},
      {forbiddenPortRefusal("P", "", "jean"),
       "Vous n'avez pas le droit d'ouvrir le port « P ».\rDemandez à l'administrateur de cet "
       "ordinateur de vous y donner accès."},
      {forbiddenPortRefusal("P", "dialout", "jean"),
       "Vous n'avez pas le droit d'ouvrir le port « P ».\rAjoutez votre compte au groupe « dialout "
       "» avec cette commande :\r\rsudo adduser jean dialout\r\rEnsuite, fermez puis rouvrez "
       "votre session."},
      {portInUseRefusal("P", PortHolder{"minicom", 4242, "marie"}),
       "Le port « P » est utilisé par un autre programme (minicom, processus 4242, compte « marie "
       "»).\rFermez ce programme (ou demandez à « marie » de le fermer), puis réessayez."},
      {portInUseRefusal("P", PortHolder{"obturix", 42, ""}),
       "Le port « P » est déjà utilisé par une autre série en cours (processus 42).\rAttendez "
       "qu'elle se termine, ou fermez la fenêtre d'Obturix qui la mène."},
      {unclaimedPortWarning("P", ClaimReach::ThisUser, ClaimShortfall{"/L", ENOENT}),
       "Attention : le port « P » n'a été réservé que pour votre compte, car le verrou « /L » n'a "
       "pas pu être créé (" +
           systemReason(ENOENT) +
           "). Un programme d'un autre compte de cet "
           "ordinateur pourrait s'en servir pendant la série et déclencher l'appareil au milieu "
           "d'une "
           "pose : vérifiez qu'aucun autre compte ne l'utilise."},
      // the asked exposures counted as the journal counts them (a count under 10 000 not
      // grouped), the cause the first failure's
      {missedPressesWarning(missed(1000, 1, 0), 1000, "P"),
       "Attention : sur les 1000 poses, 999 ont été faites et une n'a pas eu lieu. " + gone},
      {missedPressesWarning(missed(5, 2, 1), 5, "P"),
       "Attention : sur les 5 poses, 2 ont été faites, une a été faite sans verrouillage du "
       "miroir et 2 n'ont pas eu lieu. Cause du premier échec : le port « P » a disparu (câble "
       "débranché ?)."},
      {missedPressesWarning(counted({3, 0, 0, 0, 0}, 1, press(PressResult::Missed, {}, true)), 4,
                            "P"),
       "Attention : sur les 4 poses, 3 ont été faites et une n'a pas été faite (série arrêtée). "
       "L'impulsion de verrouillage du miroir n'a pas eu lieu, juste avant l'arrêt de la série. " +
           gone},
      {missedPressesWarning(missed(10, 10, 0), 10, "P"),
       "Attention : aucune des 10 poses n'a eu lieu. Cause du premier échec : le port « P » a "
       "disparu (câble débranché ?)."},
      {missedPressesWarning(missed(1, 0, 1, Forbidden), 1, "P"),
       "Attention : la pose a été faite sans verrouillage du miroir. Cause : l'accès au port « P » "
       "a été refusé."},
      {missedPressesWarning(missed(1, 1, 0, Other, "système de fichiers en lecture seule"), 1, "P"),
       "Attention : la pose n'a pas eu lieu. Cause : le port « P » n'a pas pu être ouvert "
       "(système de fichiers en lecture seule)."},
      {missedPressesWarning(counted({3, 0, 1, 1, 0}, 1, press(PressResult::CutByPort)), 5, "P"),
       "Attention : sur les 5 poses, une a été faite, une a été coupée avant la fin, une a été "
       "interrompue par l'arrêt et 2 n'ont pas été faites (série arrêtée). Cause : le port « P » "
       "a disparu pendant la pose (câble débranché ?)."},
      {unsavedSettingsWarning({{"le port", registry_status::accessDenied},
                               {"le temps de pause", registry_status::noUnicodeTranslation}},
                              7),
       "Impossible d'enregistrer le port : l'accès aux paramètres a été refusé. Le temps de pause "
       "contient des caractères qui ne peuvent pas être enregistrés : son ancienne valeur est "
       "conservée. Les autres paramètres ont été enregistrés."},
      {progressNote(7, 120, std::chrono::seconds(750), {2026, 12, 7, 21, 0}, {2026, 12, 7, 21, 12}),
       "Pose 7 sur 120 — il reste 12 min 30 s, fin vers 21:12"},
      {progressNote(1, 12000, std::chrono::hours(2), {2026, 12, 31, 23, 0}, {2027, 1, 1, 1, 0}),
       "Pose 1 sur 12\u00A0000 — il reste 2 h, fin le 1er janvier 2027 vers 01:00"},
      {progressNote(9, 120, std::chrono::seconds(45), {2026, 12, 7, 21, 0}, {2026, 12, 7, 21, 1}, 1,
                    {2}),
       "Pose 9 sur 120 — il reste 45 s, fin vers 21:01 — 1 pose manquée : la 2"},
      {progressNote(40, 120, std::chrono::seconds(45), {2026, 12, 7, 21, 0}, {2026, 12, 7, 21, 1},
                    3, {2, 5, 7}),
       "Pose 40 sur 120 — il reste 45 s, fin vers 21:01 — 3 poses manquées : les 2, 5 et 7"},
      {progressNote(40, 120, std::chrono::seconds(45), {2026, 12, 7, 21, 0}, {2026, 12, 7, 21, 1},
                    12, {2, 3, 4, 5, 6}),
       "Pose 40 sur 120 — il reste 45 s, fin vers 21:01 — 12 poses manquées, dont les 2, 3, 4, 5 "
       "et 6"},
      // no end date for what no night lasts
      {progressNote(1, 2'000'000'000, century, {2026, 12, 7, 21, 0}, {2126, 12, 7, 21, 0}),
       "Pose 1 sur 2\u00A0000\u00A0000\u00A0000 — il reste plus d'un siècle"},
      {shortBatteryWarning(35, std::chrono::minutes(110), century),
       "Attention : l'ordinateur est sur batterie (35\u00A0%, environ 1 h 50 min) et la série dure "
       "plus d'un siècle. Branchez-le sur le secteur ou sur une batterie externe."},
      {shortBatteryWarning(35, std::chrono::minutes(110), std::chrono::minutes(256)),
       "Attention : l'ordinateur est sur batterie (35\u00A0%, environ 1 h 50 min) et la série dure "
       "4 h "
       "16 min. Branchez-le sur le secteur ou sur une batterie externe."},
      {damagedSettingsNotice({"/h/registry.reg", "/h/registry.reg.bad-1"}),
       "Le fichier des paramètres était illisible : il a été mis de côté sous « "
       "/h/registry.reg.bad-1 » et les valeurs par défaut sont utilisées."},
      {damagedSettingsNotice({"/h/registry.reg", std::nullopt}),
       "Le fichier des paramètres « /h/registry.reg » est illisible et n'a pas pu être mis de "
       "côté : les valeurs par défaut sont utilisées, et les paramètres ne seront pas enregistrés "
       "tant qu'il sera là."},
      {unsavedSettingsWarning({{"a", registry_status::diskFull}, {"b", registry_status::diskFull}},
                              2),
       "Les paramètres de cette série n'ont pas pu être enregistrés : le disque est plein."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, typeset(c.expected));
}

// Every message the program builds, once each: a no-break space inside « »
// and before : ; ? !, large numbers grouped, no English from the system and
// no Windows number on Linux.
TEST(SeriesTexts, AllFollowFrenchTypography) {
  using enum PortFailure::Cause;
  const SeriesParams tooMany{"3000000000", "1", "1", answerNo, "P", "1", "1"};
  const SeriesParams badPulse{"1", "1", "1", answerYes, "P", "x", "1"};
  std::vector<std::string> messages = {
      *refusalOf(tooMany),
      *refusalOf(badPulse),
      missingPortRefusal("P", {}),
      missingPortRefusal("P", {"/dev/ttyS0"}),
      notSerialPortRefusal("P", {}),
      forbiddenPortRefusal("P", "dialout", ""),
      forbiddenPortRefusal("P", "", ""),
      portInUseRefusal("P", PortHolder{"minicom", 4242, "marie"}),
      portInUseRefusal("P", std::nullopt),
      unclaimedPortWarning("P", ClaimReach::Nobody, std::nullopt),
      unclaimedPortWarning("P", ClaimReach::ThisUser, std::nullopt),
      missedPressesWarning(missed(12345, 12345, 0, Busy), 12345, "P"),
      missedPressesWarning(missed(20000, 10000, 10000), 30000, "P"),
      stopQuestion,
      progressNote(12345, 20000, std::chrono::hours(20000), {2026, 12, 7, 21, 0},
                   {2029, 4, 1, 5, 0}),
  };
  for (const long status :
       {registry_status::accessDenied, registry_status::diskFull, registry_status::fileTooLarge,
        registry_status::timeout, registry_status::writeFault, registry_status::invalidParameter})
    messages.push_back(unsavedSettingsWarning({{"le port", status}}, 7));
  messages.push_back(unwrittenJournalWarning({"/j/", true, 0, journalOpeningPart, true}));
#ifndef _WIN32
  for (const int error : {ENOENT, EACCES, EBUSY, EIO, ENOSPC, EROFS, EDQUOT, EINVAL, ENOTTY,
                          ENOTCONN, ECONNABORTED, ESTALE, ETIMEDOUT})
    messages.push_back(missedPressesWarning(missed(1, 1, 0, Other, systemReason(error)), 1, "P"));
  for (const std::int64_t lostFrom : {journalOpeningPart, journalClosingPart, std::int64_t{12345}})
    messages.push_back(unwrittenJournalWarning({"/j/", true, ENOSPC, lostFrom, false}));
  messages.push_back(unwrittenJournalWarning({"/j/", false, EROFS, journalOpeningPart, false}));
#endif
  const std::regex breakable(" ([:;?!%]|»)|« |[0-9]{5}"); // » is two bytes
  const std::regex foreign("[Ee]rror|denied|No such|Permission|n° [0-9]");
  for (const auto& message : messages) {
    EXPECT_FALSE(std::regex_search(message, breakable)) << message;
    EXPECT_FALSE(std::regex_search(message, foreign)) << message;
  }
}

} // namespace
} // namespace obturix
