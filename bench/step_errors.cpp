#include "step_errors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string_view>

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
  const bool withFloor = !floor.front().errorsMs.empty();
  std::printf("%-13s %6s %5s | %-31s", "step", "asked", "count",
              "Obturix  p50    p90    max    min");
  if (withFloor)
    std::printf(" | %-31s | %s", "floor    p50    p90    max    min", "gap p50    p90    max");
  std::printf("\n");
  for (std::size_t i = 0; i < program.size(); ++i) {
    if (program[i].errorsMs.empty())
      continue;
    const Summary p = summarise(program[i].errorsMs);
    std::printf("%-13s %6lld %5zu |   %+7.3f%+7.3f%+7.3f%+7.3f  ", program[i].name,
                program[i].askedMs, program[i].errorsMs.size(), p.p50, p.p90, p.max, p.min);
    if (withFloor && !floor[i].errorsMs.empty()) {
      const Summary f = summarise(floor[i].errorsMs);
      std::printf(" |   %+7.3f%+7.3f%+7.3f%+7.3f   | %+7.3f%+7.3f%+7.3f", f.p50, f.p90, f.max,
                  f.min, p.p50 - f.p50, p.p90 - f.p90, p.max - f.max);
    }
    std::printf("\n");
  }
}

bool readMeasuredSteps(const std::string& path, CycleErrors& program, CycleErrors& floor) {
  std::ifstream in(path);
  std::string who, step;
  double asked = 0, measured = 0;
  while (in >> who >> step >> asked >> measured) {
    CycleErrors& errors = who == "floor" ? floor : program;
    const auto kind = std::find_if(errors.begin(), errors.end(), [&](const StepErrors& e) {
      return std::string_view(e.name).ends_with(step);
    });
    if (kind == errors.end() || std::fabs(measured - asked) > 20)
      return false;
    kind->askedMs = static_cast<long long>(asked);
    kind->errorsMs.push_back(measured - asked);
  }
  return in.eof();
}

} // namespace obturix::bench
