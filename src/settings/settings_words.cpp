#include "settings/settings_words.h"

#include "text/french.h"
#include "text/quoting.h"

#include <algorithm>

namespace obturix {

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

} // namespace obturix
