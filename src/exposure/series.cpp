#include "exposure/series.h"

#include "exposure/decimal.h"
#include "exposure/duration.h"

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
  if (!cycleCount(params.count))
    return "Le nombre de pauses doit être un nombre.";
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
             " doit être un nombre de secondes compris entre 0 et 2147483,647.";
  }
  return std::nullopt;
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
