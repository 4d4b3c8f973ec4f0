#include "exposure/series.h"

#include "exposure/decimal.h"
#include "exposure/duration.h"
#include "registry/registry.h"
#include "text/french.h"
#include "text/system_reason.h"
#include "text/utf8.h"

#include <algorithm>
#include <limits>

namespace obturix {

namespace {

// A text as the first words of a sentence.
std::string sentence(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

// A name as the user typed it or the system gave it, fit for a message:
// control characters shown as '?', a malformed sequence as U+FFFD, and a
// long one cut short.
std::string shownBare(const std::string& name, std::size_t longest = 60) {
  const std::u32string characters = decodeUtf8(name);
  std::string text;
  for (std::size_t i = 0; i < characters.size() && i < longest; ++i)
    appendUtf8(text, characters[i] < 0x20 || characters[i] == 0x7F ? U'?' : characters[i]);
  return characters.size() > longest ? text + "…" : text;
}

// The same, set in « ».
std::string shown(const std::string& name, std::size_t longest = 60) {
  return "«\u00A0" + shownBare(name, longest) + "\u00A0»";
}

} // namespace

std::optional<std::int64_t> cycleCount(const std::string& count) {
  const auto number = parseDecimal(count);
  if (!number)
    return std::nullopt;
  if (number->negative || number->isZero())
    return 0;
  const std::int64_t integerDigits =
      static_cast<std::int64_t>(number->digits.size()) + number->exponent;
  if (integerDigits <= 0)
    return 0;
  if (integerDigits > 18)
    return std::numeric_limits<std::int64_t>::max();
  std::int64_t whole = 0;
  for (std::int64_t i = 0; i < integerDigits; ++i) {
    const auto index = static_cast<std::size_t>(i);
    whole = whole * 10 + (index < number->digits.size() ? number->digits[index] - '0' : 0);
  }
  return whole;
}

std::optional<std::string> seriesRefusal(const SeriesParams& params) {
  const auto cycles = cycleCount(params.count);
  if (!cycles)
    return sentence(field_name::count) + " doit être écrit en chiffres.";
  if (*cycles > std::numeric_limits<std::int32_t>::max())
    return sentence(field_name::count) + " ne peut pas dépasser " +
           frenchNumber(std::numeric_limits<std::int32_t>::max()) + ".";
  if (*cycles == 0)
    return std::nullopt;
  struct Field {
    const std::string& text;
    const char* name;
    bool used;
  };
  const bool mirror = params.mirror == answerYes;
  const Field durations[] = {
      {params.exposure, field_name::exposure, true},
      {params.interval, field_name::interval, true},
      {params.pulse, field_name::pulse, mirror},
      {params.settle, field_name::settle, mirror},
  };
  for (const auto& field : durations) {
    if (field.used && !durationMilliseconds(field.text))
      return sentence(field.name) + " doit être un nombre de secondes compris entre 0 et " +
             frenchDecimal(std::numeric_limits<std::int32_t>::max(), 3) + ".";
  }
  return std::nullopt;
}

namespace {

// The ports that exist, or what to do when there is none.
std::string portsToChoose(const std::vector<std::string>& available) {
  if (available.empty())
    return "Aucun port série n'a été trouvé : branchez l'adaptateur série (ou USB-série) de "
           "votre câble, puis réessayez.";
  std::string text = "Ports disponibles : ";
  for (std::size_t i = 0; i < available.size(); ++i)
    text += (i ? ", " : "") + shown(available[i]);
  return text + ".";
}

// "a", "a et b", "a, b et c".
std::string listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i == 0 ? "" : i + 1 == items.size() ? " et " : ", ") + items[i];
  return text;
}

} // namespace

std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available) {
  return typeset("Le port " + shown(port) + " n'existe pas sur cet ordinateur.\r" +
                 portsToChoose(available));
}

std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account) {
  const std::string text = "Vous n'avez pas le droit d'ouvrir le port " + shown(port) + ".\r";
  if (group.empty())
    return typeset(text + "Demandez à l'administrateur de cet ordinateur de vous y donner accès.");
  return typeset(text + "Ajoutez votre compte au groupe " + shown(group) +
                 " avec cette commande :\r\rsudo adduser " +
                 (account.empty() ? "VOTRE_NOM" : shownBare(account)) + " " + shownBare(group) +
                 "\r\rEnsuite, fermez puis rouvrez votre session.");
}

// Another copy of Obturix is a series; anything else (a serial terminal, a
// modem manager) is named. A process number is a name, not a quantity: it
// is not grouped.
std::string portInUseRefusal(const std::string& port, const std::optional<PortHolder>& holder) {
  const std::string account =
      holder && !holder->account.empty() ? ", compte " + shown(holder->account) : "";
  const std::string process = holder ? "processus " + std::to_string(holder->pid) + account : "";
  if (!holder || holder->program == "obturix")
    return typeset("Le port " + shown(port) + " est déjà utilisé par une autre série en cours" +
                   (holder ? " (" + process + ")" : "") +
                   ".\rAttendez qu'elle se termine, ou fermez la fenêtre d'Obturix qui la mène.");
  return typeset(
      "Le port " + shown(port) + " est utilisé par un autre programme (" +
      shownBare(holder->program) + ", " + process + ").\rFermez ce programme" +
      (account.empty() ? "" : " (ou demandez à " + shown(holder->account) + " de le fermer)") +
      ", puis réessayez.");
}

std::string unclaimedPortWarning(const std::string& port, ClaimReach reach,
                                 const std::optional<ClaimShortfall>& shortfall) {
  const std::string why = shortfall
                              ? ", car le verrou " + shown(shortfall->lock) +
                                    " n'a pas pu être créé (" + systemReason(shortfall->error) + ")"
                              : "";
  if (reach == ClaimReach::ThisUser)
    return typeset("Attention : le port " + shown(port) + " n'a été réservé que pour votre compte" +
                   why +
                   ". Un programme d'un autre compte de cet ordinateur pourrait s'en servir "
                   "pendant la série et déclencher l'appareil au milieu d'une pose : vérifiez "
                   "qu'aucun autre compte ne l'utilise.");
  return typeset("Attention : le port " + shown(port) +
                 " n'a pas pu être réservé pour cette série" + why +
                 ". Une autre série ou un autre programme pourrait s'en servir en même temps et "
                 "déclencher l'appareil au milieu d'une pose : vérifiez qu'aucun autre programme "
                 "ne l'utilise.");
}

std::string notSerialPortRefusal(const std::string& port,
                                 const std::vector<std::string>& available) {
  return typeset(shown(port) + " n'est pas un port série.\r" + portsToChoose(available));
}

namespace {

// One kind of exposure's count, after "sur les N poses, " or alone when the
// series had one: « 2 ont été faites », « une n'a pas eu lieu ».
struct CountWords {
  const char* one;  // after "une" or "la pose"
  const char* many; // after a number
};

std::string countClause(std::int64_t count, std::int64_t asked, const CountWords& words) {
  if (asked == 1)
    return std::string("la pose ") + words.one;
  return (count == 1 ? std::string("une ") + words.one : frenchNumber(count) + " " + words.many);
}

} // namespace

std::int64_t notStarted(const PressCount& presses, std::int64_t asked) {
  return std::max<std::int64_t>(asked - presses.exposures, 0);
}

std::string pressFailureCause(const PortFailure& failure, const std::string& port) {
  switch (failure.cause) {
  case PortFailure::Cause::Gone:
    return "le port " + shown(port) + " a disparu (câble débranché ?)";
  case PortFailure::Cause::Forbidden:
    return "l'accès au port " + shown(port) + " a été refusé";
  case PortFailure::Cause::Busy:
    return "le port " + shown(port) + " est utilisé par un autre programme";
  case PortFailure::Cause::Other:
    break;
  }
  return "le port " + shown(port) + " n'a pas pu être ouvert (" + shownBare(failure.systemMessage) +
         ")";
}

// The same totals as the journal's, in words: each kind of exposure that
// the series had, then why the first press that failed did.
std::string missedPressesWarning(const PressCount& presses, std::int64_t asked,
                                 const std::string& port) {
  std::vector<std::string> what;
  const auto count = [&](std::int64_t n, const CountWords& words) {
    if (n > 0)
      what.push_back(countClause(n, asked, words));
  };
  const std::int64_t made = presses.made();
  count(made - presses.withoutMirror, {"a été faite", "ont été faites"});
  count(presses.withoutMirror,
        {"a été faite sans verrouillage du miroir", "ont été faites sans verrouillage du miroir"});
  count(presses.cutByPort, {"a été coupée avant la fin", "ont été coupées avant la fin"});
  count(presses.missed, {"n'a pas eu lieu", "n'ont pas eu lieu"});
  count(presses.cutByStop, {"a été interrompue par l'arrêt", "ont été interrompues par l'arrêt"});
  count(notStarted(presses, asked),
        {"n'a pas été faite (série arrêtée)", "n'ont pas été faites (série arrêtée)"});
  const std::string of = "des " + frenchNumber(asked) + " poses";
  std::string text = "Attention : " +
                     (asked == 1                ? listed(what)
                      : presses.missed == asked ? "aucune " + of + " n'a eu lieu"
                                                : "sur les " + of.substr(4) + ", " + listed(what)) +
                     ".";
  // Only the pulse of an exposure the series was stopped before.
  if (presses.missed + presses.cutByPort + presses.withoutMirror == 0)
    text += " L'impulsion de verrouillage du miroir n'a pas eu lieu, juste avant l'arrêt de la "
            "série.";
  const PressRecord& first = presses.firstFailed;
  return typeset(text + (presses.failedPresses > 1 ? " Cause du premier échec : " : " Cause : ") +
                 (first.result == PressResult::CutByPort ? pressCutCause(first.mirrorPulse, port)
                                                         : pressFailureCause(first.failure, port)) +
                 ".");
}

std::string pressCutCause(bool mirrorPulse, const std::string& port) {
  return "le port " + shown(port) + " a disparu pendant " +
         (mirrorPulse ? "l'impulsion du miroir" : "la pose") + " (câble débranché ?)";
}

std::string pressFailureNotice(std::int64_t exposure, const PressRecord& press,
                               const std::string& port) {
  const std::string number = frenchNumber(exposure);
  if (press.result == PressResult::CutByPort) {
    const auto held =
        std::chrono::duration_cast<std::chrono::milliseconds>(press.released - press.pressed);
    return typeset((press.mirrorPulse
                        ? "Le verrouillage du miroir de la pose " + number + " a été coupé"
                        : "La pose " + number + " a été coupée au bout de " +
                              frenchDecimal(held.count() / 100, 1) + " s") +
                   " : " + pressCutCause(press.mirrorPulse, port) + ". La série continue.");
  }
  return typeset(
      std::string(press.mirrorPulse ? "Le verrouillage du miroir de la pose " : "La pose ") +
      number + " n'a pas eu lieu : " + pressFailureCause(press.failure, port) +
      ". La série continue.");
}

namespace {

std::string whyNotSaved(long status) {
  switch (status) {
  case registry_status::accessDenied:
    return "l'accès aux paramètres a été refusé";
  case registry_status::diskFull:
    return "le disque est plein";
  case registry_status::fileTooLarge:
    return "le fichier des paramètres deviendrait trop grand";
  case registry_status::timeout:
    return "ils étaient verrouillés par un autre programme (une autre copie d'Obturix ?)";
  case registry_status::notReady:
    return "le disque ne répond plus";
  default:
    return registryFailureWords(status);
  }
}

} // namespace

std::string unsavedSettingsWarning(const std::vector<UnsavedField>& unsaved, std::size_t fields) {
  const auto sameFailure = [&](const UnsavedField& field) {
    return field.failure == unsaved.front().failure;
  };
  const bool unstorable = unsaved.front().failure == registry_status::noUnicodeTranslation;
  if (unsaved.size() == fields && !unstorable && std::ranges::all_of(unsaved, sameFailure))
    return typeset("Les paramètres de cette série n'ont pas pu être enregistrés : " +
                   whyNotSaved(unsaved.front().failure) + ".");
  // Grouped by reason, in the order the reasons came.
  std::vector<long> reasons;
  for (const UnsavedField& field : unsaved) {
    if (std::ranges::find(reasons, field.failure) == reasons.end())
      reasons.push_back(field.failure);
  }
  std::vector<std::string> sentences;
  for (const long reason : reasons) {
    std::vector<std::string> names;
    for (const UnsavedField& field : unsaved) {
      if (field.failure == reason)
        names.push_back(field.name);
    }
    const bool one = names.size() == 1;
    if (reason == registry_status::noUnicodeTranslation)
      sentences.push_back(sentence(listed(names)) + (one ? " contient" : " contiennent") +
                          " des caractères qui ne peuvent pas être enregistrés : " +
                          (one ? "son ancienne valeur est conservée."
                               : "leurs anciennes valeurs sont conservées."));
    else
      sentences.push_back("Impossible d'enregistrer " + listed(names) + " : " +
                          whyNotSaved(reason) + ".");
  }
  if (unsaved.size() < fields)
    sentences.push_back(unsaved.size() + 1 == fields
                            ? "L'autre paramètre a été enregistré."
                            : "Les autres paramètres ont été enregistrés.");
  std::string text;
  for (const std::string& each : sentences)
    text += (text.empty() ? "" : " ") + each;
  return typeset(text);
}

// A file's path is shown whole: its end tells it apart.
std::string damagedSettingsNotice(const DamagedSettingsFile& damaged) {
  constexpr std::size_t wholePath = 1000;
  if (damaged.keptAs)
    return typeset("Le fichier des paramètres était illisible : il a été mis de côté sous " +
                   shown(*damaged.keptAs, wholePath) +
                   " et les valeurs par défaut sont utilisées.");
  return typeset("Le fichier des paramètres " + shown(damaged.file, wholePath) +
                 " est illisible et n'a pas pu être mis de côté : les valeurs par défaut sont "
                 "utilisées, et les paramètres ne seront pas enregistrés tant qu'il sera là.");
}

std::chrono::milliseconds cycleLength(const SeriesParams& params) {
  std::chrono::milliseconds length{0};
  std::vector<const std::string*> steps = {&params.exposure, &params.interval};
  if (params.mirror == answerYes)
    steps.insert(steps.end(), {&params.pulse, &params.settle});
  for (const std::string* step : steps)
    length += durationMilliseconds(*step).value_or(std::chrono::milliseconds(0));
  return length;
}

namespace {

// « 1 h 12 min », « 12 min 30 s », « 45 s »; « plus d'un siècle ».
std::string lengthInWords(std::chrono::milliseconds left) {
  if (left >= century)
    return "plus d'un siècle";
  const std::int64_t seconds = (left.count() + 500) / 1000;
  if (seconds >= 3600) {
    const std::int64_t minutes = (seconds + 30) / 60;
    return frenchNumber(minutes / 60) + " h" +
           (minutes % 60 ? " " + std::to_string(minutes % 60) + " min" : "");
  }
  if (seconds >= 60)
    return std::to_string(seconds / 60) + " min" +
           (seconds % 60 ? " " + std::to_string(seconds % 60) + " s" : "");
  return std::to_string(seconds) + " s";
}

} // namespace

namespace {

// « 1 pose manquée : la 2 », « 3 poses manquées : les 2, 5 et 7 »,
// « 12 poses manquées, dont les 2, 3, 4, 5 et 6 ».
std::string lostExposures(std::int64_t count, const std::vector<std::int64_t>& first) {
  std::vector<std::string> numbers;
  for (const std::int64_t exposure : first)
    numbers.push_back(frenchNumber(exposure));
  if (count == 1)
    return "1 pose manquée : la " + numbers.front();
  return frenchNumber(count) + " poses manquées" +
         (static_cast<std::size_t>(count) > first.size() ? ", dont les " : " : les ") +
         listed(numbers);
}

} // namespace

std::string progressNote(std::int64_t current, std::int64_t total, std::chrono::milliseconds left,
                         const LocalTime& now, const LocalTime& end, std::int64_t lostCount,
                         const std::vector<std::int64_t>& firstLost) {
  static const char* const months[] = {"janvier",   "février", "mars",     "avril",
                                       "mai",       "juin",    "juillet",  "août",
                                       "septembre", "octobre", "novembre", "décembre"};
  std::string text = "Pose " + frenchNumber(current) + " sur " + frenchNumber(total) +
                     " — il reste " + lengthInWords(left);
  if (left < century) {
    text += ", fin ";
    if (end.year != now.year || end.month != now.month || end.day != now.day)
      text += "le " + std::to_string(end.day) + (end.day == 1 ? "er " : " ") +
              months[(end.month + 11) % 12] +
              (end.year != now.year ? " " + std::to_string(end.year) : "") + " ";
    text += "vers " + zeroPadded(end.hour, 2) + ":" + zeroPadded(end.minute, 2);
  }
  if (lostCount > 0 && !firstLost.empty())
    text += " — " + lostExposures(lostCount, firstLost);
  return typeset(text);
}

std::string shortBatteryWarning(int percentage, std::chrono::seconds timeLeft,
                                std::chrono::milliseconds seriesLength) {
  const std::string charge = percentage >= 0 ? std::to_string(percentage) + "\u00A0%, " : "";
  return typeset("Attention : l'ordinateur est sur batterie (" + charge + "environ " +
                 lengthInWords(timeLeft) + ") et la série dure " + lengthInWords(seriesLength) +
                 ". Branchez-le sur le secteur ou sur une batterie externe.");
}

std::string lowBatteryNotice(int percentage) {
  return typeset("Batterie faible (" + std::to_string(percentage) +
                 "\u00A0%) : la série risque de s'arrêter.");
}

std::string confirmationPrompt(const SeriesParams& params) {
  const std::string cr = "\r";
  return "Lancer une série de pauses ?" + cr + cr + "Temps de pause       : " + params.exposure +
         cr + "Nombre de pauses     : " + params.count + cr +
         "Intervalle           : " + params.interval + cr +
         "Relever le miroir    : " + (params.mirror == answerYes ? "Oui" : "Non") + cr + cr +
         " Oui pour lancer, Non pour arrêter...";
}

} // namespace obturix
