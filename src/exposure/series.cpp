#include "exposure/series.h"

#include "exposure/decimal.h"
#include "exposure/duration.h"
#include "registry/registry.h"
#include "text/utf8.h"

#include <limits>

namespace obturix {

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
    return "Le nombre de pauses doit être écrit en chiffres.";
  if (*cycles > std::numeric_limits<std::int32_t>::max())
    return "Le nombre de pauses ne peut pas dépasser 2\u00A0147\u00A0483\u00A0647.";
  if (*cycles == 0)
    return std::nullopt;
  struct Field {
    const std::string& text;
    const char* name;
    bool used;
  };
  const bool mirror = params.mirror == answerYes;
  const Field durations[] = {
      {params.exposure, "Le temps de pause", true},
      {params.interval, "L'intervalle entre les pauses", true},
      {params.pulse, "La durée de l'impulsion pour le verrouillage du miroir", mirror},
      {params.settle, "L'intervalle entre le verrouillage du miroir et le début de la pause",
       mirror},
  };
  for (const auto& field : durations) {
    if (field.used && !durationMilliseconds(field.text))
      return std::string(field.name) +
             " doit être un nombre de secondes compris entre 0 et 2\u00A0147\u00A0483,647.";
  }
  return std::nullopt;
}

namespace {

// A name as the user typed it, fit for a message: control characters shown
// as '?', and a long one cut short.
std::string shown(const std::string& name) {
  constexpr std::size_t longest = 60;
  const std::u32string characters = decodeUtf8(name);
  std::string text;
  for (std::size_t i = 0; i < characters.size() && i < longest; ++i)
    appendUtf8(text, characters[i] < 0x20 || characters[i] == 0x7F ? U'?' : characters[i]);
  return characters.size() > longest ? text + "…" : text;
}

} // namespace

std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available) {
  std::string text = "Le port « " + shown(port) + " » n'existe pas sur cet ordinateur.\r";
  if (available.empty())
    return text + "Aucun port série n'a été trouvé.";
  text += "Ports disponibles : ";
  for (std::size_t i = 0; i < available.size(); ++i)
    text += (i ? ", " : "") + shown(available[i]);
  return text;
}

std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account) {
  const std::string text = "Vous n'avez pas le droit d'ouvrir le port « " + shown(port) + " ». ";
  if (group.empty())
    return text + "Demandez à l'administrateur de cet ordinateur de vous en donner l'accès.";
  return text + "Ajoutez votre compte au groupe « " + shown(group) + " » (sudo adduser " +
         (account.empty() ? "VOTRE_NOM" : shown(account)) + " " + shown(group) +
         "), puis rouvrez votre session.";
}

// Another copy of Obturix is a series; anything else (a serial terminal, a
// modem manager) is named.
std::string portInUseRefusal(const std::string& port, const std::optional<PortHolder>& holder) {
  if (!holder || holder->program == "obturix")
    return "Le port « " + shown(port) + " » est déjà utilisé par une autre série en cours.";
  return "Le port « " + shown(port) + " » est utilisé par un autre programme (" +
         shown(holder->program) + ", processus " + std::to_string(holder->pid) + ").";
}

std::string unclaimedPortWarning(const std::string& port) {
  return "Attention : le port « " + shown(port) +
         " » n'a pas pu être réservé pour cette série ; une autre série ou un autre programme "
         "pourrait s'en servir en même temps.";
}

std::string notSerialPortRefusal(const std::string& port) {
  return "« " + shown(port) + " » n'est pas un port série.";
}

std::string missedPressesWarning(const PressCount& presses, const std::string& port) {
  const std::string of = std::to_string(presses.asked) + " déclenchements";
  std::string text = "Attention : ";
  if (presses.failed == presses.asked)
    text += presses.asked == 1 ? "le déclenchement n'a pas eu lieu"
                               : "aucun des " + of + " n'a eu lieu";
  else if (presses.failed == 1)
    text += "un des " + of + " n'a pas eu lieu";
  else
    text += std::to_string(presses.failed) + " des " + of + " n'ont pas eu lieu";
  const std::string name = "le port « " + shown(port) + " »";
  const PortFailure& failure = presses.firstFailure;
  switch (failure.cause) {
  case PortFailure::Cause::Gone:
    return text + ", car " + name + " a disparu (câble débranché ?).";
  case PortFailure::Cause::Forbidden:
    return text + ", car l'accès au port « " + shown(port) + " » a été refusé.";
  case PortFailure::Cause::Busy:
    return text + ", car " + name + " est utilisé par un autre programme.";
  case PortFailure::Cause::Other:
    break;
  }
  return text + ", car " + name + " n'a pas pu être ouvert (" + shown(failure.systemMessage) + ").";
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
    return "un autre programme les tenait (une autre copie d'Obturix ?)";
  default:
    return "erreur système " + std::to_string(status);
  }
}

} // namespace

std::string unsavedSettingsWarning(long failure, const std::vector<std::string>& unkeptFields) {
  std::string why;
  if (failure != registry_status::success && failure != registry_status::noUnicodeTranslation)
    why = whyNotSaved(failure);
  if (!unkeptFields.empty()) {
    std::string fields;
    for (std::size_t i = 0; i < unkeptFields.size(); ++i)
      fields += (i == 0 ? "" : i + 1 == unkeptFields.size() ? " et " : ", ") + unkeptFields[i];
    const bool one = unkeptFields.size() == 1;
    why += (why.empty() ? "" : " ; ") + fields + (one ? " contient" : " contiennent") +
           " des caractères que les paramètres ne peuvent pas garder (" +
           (one ? "sa valeur précédente est gardée)" : "leurs valeurs précédentes sont gardées)");
  }
  return "Les paramètres de cette série n'ont pas pu être enregistrés : " + why + ".";
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
