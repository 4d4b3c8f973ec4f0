#include "step_errors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace obturix::bench {

namespace {

double toMs(std::chrono::nanoseconds d) { return static_cast<double>(d.count()) / 1e6; }

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

struct Summary {
  double p50, p90, max, min;
};

Summary summarise(const std::vector<double>& errors) {
  return {percentile(errors, 0.5), percentile(errors, 0.9),
          *std::max_element(errors.begin(), errors.end()),
          *std::min_element(errors.begin(), errors.end())};
}

} // namespace

CycleErrors emptyCycleErrors(const Steps& steps) {
  return {{"mirror pulse", steps.pulse.count(), {}},
          {"settle", steps.settle.count(), {}},
          {"exposure", steps.exposure.count(), {}},
          {"pause", steps.interval.count(), {}}};
}

bool addSteps(const std::vector<pty::OpenCloseWatcher::Event>& events, CycleErrors& errors) {
  using Kind = pty::OpenCloseWatcher::Kind;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const auto expected = i % 2 == 0 ? Kind::Open : Kind::Close;
    if (events[i].kind != expected)
      return false;
    if (i + 1 == events.size())
      break;
    // Event i opens a step that event i+1 ends: presses after an open,
    // waits after a close; four steps a cycle.
    StepErrors& step = errors[i % 4];
    step.errorsMs.push_back(toMs(events[i + 1].when - events[i].when) -
                            static_cast<double>(step.askedMs));
  }
  return true;
}

void printComparison(const CycleErrors& program, const CycleErrors& floor) {
  std::printf("%-13s %6s %5s | %-31s | %-31s | %s\n", "step", "asked", "count",
              "Obturix  p50    p90    max    min", "floor    p50    p90    max    min",
              "gap p50    p90    max");
  for (std::size_t i = 0; i < program.size(); ++i) {
    if (program[i].errorsMs.empty() || floor[i].errorsMs.empty())
      continue;
    const Summary p = summarise(program[i].errorsMs), f = summarise(floor[i].errorsMs);
    std::printf("%-13s %6lld %5zu |   %+7.3f%+7.3f%+7.3f%+7.3f   |   %+7.3f%+7.3f%+7.3f%+7.3f   | "
                "%+7.3f%+7.3f%+7.3f\n",
                program[i].name, program[i].askedMs, program[i].errorsMs.size(), p.p50, p.p90,
                p.max, p.min, f.p50, f.p90, f.max, f.min, p.p50 - f.p50, p.p90 - f.p90,
                p.max - f.max);
  }
}

} // namespace obturix::bench
