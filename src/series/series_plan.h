#pragma once

#include "exposure/plan.h"

#include <string>
#include <variant>

namespace obturix {

// What the messages call each parameter of the window, at the start of a
// sentence written with a capital.
namespace field_name {
inline constexpr const char* count = "le nombre de pauses";
inline constexpr const char* exposure = "le temps de pause";
inline constexpr const char* interval = "l'intervalle entre les pauses";
inline constexpr const char* mirror = "le choix de relever le miroir";
inline constexpr const char* port = "le port";
inline constexpr const char* pulse = "la durée de l'impulsion pour le verrouillage du miroir";
inline constexpr const char* settle =
    "l'intervalle entre le verrouillage du miroir et le début de la pause";
} // namespace field_name

// Why a series must not start, in French, and the parameter at fault (one
// of field_name's).
struct PlanRefusal {
  std::string why;
  const char* field;
};

// A series' plan, read from its values as typed, or why it must not start:
// a count that is not a number or is over 2 147 483 647, or a duration it
// would use that is not a number of seconds a sleep can take. A count that
// gives no cycle uses no duration.
std::variant<SeriesPlan, PlanRefusal> readPlan(const SeriesParams& params);

} // namespace obturix
