#include "series/series_plan.h"

#include "exposure/duration.h"
#include "text/french.h"
#include "text/quoting.h"

#include <limits>

namespace obturix {

std::variant<SeriesPlan, PlanRefusal> readPlan(const SeriesParams& params) {
  const auto cycles = cycleCount(params.count);
  if (!cycles)
    return PlanRefusal{sentence(field_name::count) + " doit être écrit en chiffres.",
                       field_name::count};
  if (*cycles > std::numeric_limits<std::int32_t>::max())
    return PlanRefusal{sentence(field_name::count) + " ne peut pas dépasser " +
                           frenchNumber(std::numeric_limits<std::int32_t>::max()) + ".",
                       field_name::count};
  SeriesPlan plan;
  plan.typed = params;
  plan.cycles = *cycles;
  plan.mirror = params.mirror == answerYes;
  if (plan.cycles == 0)
    return plan;
  struct Field {
    const std::string& text;
    const char* name;
    bool used;
    std::chrono::milliseconds& length;
  };
  const Field durations[] = {
      {params.exposure, field_name::exposure, true, plan.exposure},
      {params.interval, field_name::interval, true, plan.interval},
      {params.pulse, field_name::pulse, plan.mirror, plan.pulse},
      {params.settle, field_name::settle, plan.mirror, plan.settle},
  };
  for (const auto& field : durations) {
    if (!field.used)
      continue;
    const auto length = durationMilliseconds(field.text);
    if (!length)
      return PlanRefusal{sentence(field.name) +
                             " doit être un nombre de secondes compris entre 0 et " +
                             frenchDecimal(std::numeric_limits<std::int32_t>::max(), 3) + ".",
                         field.name};
    field.length = *length;
  }
  return plan;
}

} // namespace obturix
