#include "exposure/exposure_cycle.h"

#include "exposure/decimal.h"
#include "exposure/duration.h"

namespace obturix {

namespace {

bool isAnswerYes(const Variant& choice) {
  const auto text = variantToText(choice);
  return text && isDecimalEqualTo(*text, answerYes);
}

} // namespace

void ExposureCycle::FairePause(const Variant& mirror, const Variant& exposure,
                               const Variant& interval, const Variant& port, const Variant& pulse,
                               const Variant& settle) {
  const Steps& steps = stepsOf(exposure, interval, pulse, settle);
  bool mirrorFailed = false;
  if (isAnswerYes(mirror)) {
    const PressStart mirrorPulse = pressRelease(port, true, steps.pulse);
    const bool lost = holdFor(mirrorPulse, steps.pulse);
    const PressEnd released = letGo(mirrorPulse, true, steps.pulse, lost);
    mirrorFailed = mirrorPulse.tried && (released.result == PressResult::Missed ||
                                         released.result == PressResult::CutByPort);
    prepareNextPress(port);
    sleepFor(released.at, steps.settle);
  }
  const PressStart press = pressRelease(port, false, steps.exposure);
  const bool lost = holdFor(press, steps.exposure);
  const PressEnd released = letGo(press, false, steps.exposure, lost);
  if (press.tried)
    countExposure(released.result, mirrorFailed);
  prepareNextPress(port); // most likely the next cycle's
  sleepFor(released.at, steps.interval);
}

// Read when they change: a series' cycles, all alike, read them once.
const ExposureCycle::Steps& ExposureCycle::stepsOf(const Variant& exposure, const Variant& interval,
                                                   const Variant& pulse, const Variant& settle) {
  const std::array<Variant, 4> values{exposure, interval, pulse, settle};
  if (values != stepsReadFrom_) {
    steps_ = {durationMilliseconds(exposure), durationMilliseconds(interval),
              durationMilliseconds(pulse), durationMilliseconds(settle)};
    stepsReadFrom_ = values;
  }
  return steps_;
}

void ExposureCycle::countExposure(PressResult result, bool mirrorFailed) {
  ++presses_.exposures;
  switch (result) {
  case PressResult::Missed:
    ++presses_.missed;
    break;
  case PressResult::CutByPort:
    ++presses_.cutByPort;
    break;
  case PressResult::CutByStop:
    ++presses_.cutByStop;
    break;
  case PressResult::Made:
    presses_.withoutMirror += mirrorFailed ? 1 : 0;
    break;
  }
}

void ExposureCycle::stop() {
  const std::lock_guard lock(opening_);
  sleeper_.interrupt();
}

// A fresh service for each press; when none can be had the previous one
// serves. The port found in advance is opened if it is the one asked for;
// otherwise, or when it has gone since, the port is found and opened now.
// A failed open keeps the previous stream, which is already closed, and is
// counted. Once stopped, nothing is opened.
ExposureCycle::PressStart ExposureCycle::pressRelease(const Variant& port, bool mirrorPulse,
                                                      Length length) {
  const PressStart start = openPort(port);
  if (start.tried && !start.made)
    pressOver({.mirrorPulse = mirrorPulse,
               .pressed = start.at,
               .released = start.at,
               .asked = length,
               .result = PressResult::Missed,
               .failure = start.failure});
  return start;
}

ExposureCycle::PressStart ExposureCycle::openPort(const Variant& port) {
  const std::lock_guard lock(opening_);
  if (stopped())
    return {sleeper_.now()};
  const auto name = variantToText(port);
  Opening opening;
  if (nextPort_ && name == nextName_)
    opening = nextPort_->open();
  nextPort_.reset();
  if (!opening.stream) {
    if (auto service = ports_.create())
      service_ = std::move(service);
    if (service_ && name)
      opening = service_->open(*name);
  }
  if (!opening.stream)
    return {sleeper_.now(), true, false, opening.failure};
  stream_ = std::move(opening.stream);
  return {stream_->openedAt().value_or(sleeper_.now()), true, true};
}

void ExposureCycle::prepareNextPress(const Variant& port) {
  if (stopped())
    return;
  if (auto service = ports_.create())
    service_ = std::move(service);
  nextName_ = variantToText(port);
  if (service_ && nextName_)
    nextPort_ = service_->prepare(*nextName_);
}

// Counted, then handed over.
void ExposureCycle::pressOver(const PressRecord& press) {
  if (press.failed()) {
    if (presses_.failedPresses++ == 0)
      presses_.firstFailed = press;
    anyFailed_ = true;
  }
  if (pressListener_)
    pressListener_(press);
}

// A press made is held until its end, or until its port goes away.
bool ExposureCycle::holdFor(const PressStart& press, Length length) {
  if (!length)
    return false;
  Held* held = press.made && stream_ ? stream_->held() : nullptr;
  if (!held) {
    sleeper_.sleepUntil(press.at + *length);
    return false;
  }
  return sleeper_.holdUntil(press.at + *length, *held);
}

// Returns when the release was let go and what the press came to, once the
// press made is reported.
ExposureCycle::PressEnd ExposureCycle::letGo(const PressStart& press, bool mirrorPulse,
                                             Length asked, bool portLost) {
  if (stream_)
    stream_->close();
  const auto released = sleeper_.now();
  if (!press.made)
    return {released, PressResult::Missed};
  PressResult result = PressResult::Made;
  if (portLost)
    result = PressResult::CutByPort;
  else if (stopped() && asked && released - press.at < *asked)
    result = PressResult::CutByStop;
  pressOver({.mirrorPulse = mirrorPulse,
             .pressed = press.at,
             .released = released,
             .asked = asked,
             .result = result,
             .failure = {}}); // cut by the port: the port gone
  return {released, result};
}

void ExposureCycle::sleepFor(std::chrono::nanoseconds from, Length length) {
  if (length)
    sleeper_.sleepUntil(from + *length);
}

} // namespace obturix
