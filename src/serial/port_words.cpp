#include "serial/port_words.h"

#include "text/french.h"
#include "text/quoting.h"
#include "text/system_reason.h"

namespace obturix {

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

std::string pressCutCause(bool mirrorPulse, const std::string& port) {
  return "le port " + shown(port) + " a disparu pendant " +
         (mirrorPulse ? "l'impulsion du miroir" : "la pose") + " (câble débranché ?)";
}

} // namespace obturix
