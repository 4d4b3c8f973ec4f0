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
  bool mirrorFailed = false;
  if (isAnswerYes(mirror)) {
    const PressStart mirrorPulse = pressRelease(port, true, pulse);
    mirrorFailed = mirrorPulse.tried && !mirrorPulse.made;
    const Length pulseLength = durationMilliseconds(pulse); // read once the press is made
    sleepFor(mirrorPulse.at, pulseLength);
    const auto released = letGo(mirrorPulse, true, pulseLength);
    prepareNextPress(port);
    sleepFor(released, durationMilliseconds(settle));
  }
  const PressStart press = pressRelease(port, false, exposure);
  if (press.tried) {
    ++presses_.exposures;
    if (!press.made)
      ++presses_.missed;
    else if (mirrorFailed)
      ++presses_.withoutMirror;
  }
  const Length exposureLength = durationMilliseconds(exposure);
  sleepFor(press.at, exposureLength);
  const auto released = letGo(press, false, exposureLength);
  prepareNextPress(port); // most likely the next cycle's
  sleepFor(released, durationMilliseconds(interval));
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
                                                      const Variant& length) {
  const PressStart start = openPort(port);
  if (start.tried && !start.made && pressListener_)
    pressListener_({.mirrorPulse = mirrorPulse,
                    .pressed = start.at,
                    .released = start.at,
                    .asked = durationMilliseconds(length),
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
  if (!opening.stream) {
    if (presses_.failedPresses++ == 0)
      presses_.firstFailure = opening.failure;
    anyFailed_ = true;
    return {sleeper_.now(), true, false, opening.failure};
  }
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

// Returns when the release was let go, once the press made is reported.
std::chrono::nanoseconds ExposureCycle::letGo(const PressStart& press, bool mirrorPulse,
                                              Length asked) {
  if (stream_)
    stream_->close();
  const auto released = sleeper_.now();
  if (press.made && pressListener_) {
    pressListener_({.mirrorPulse = mirrorPulse,
                    .pressed = press.at,
                    .released = released,
                    .asked = asked,
                    .made = true,
                    .cutShort = stopped() && asked && released - press.at < *asked,
                    .failure = {}});
  }
  return released;
}

void ExposureCycle::sleepFor(std::chrono::nanoseconds from, Length length) {
  if (length)
    sleeper_.sleepUntil(from + *length);
}

} // namespace obturix
