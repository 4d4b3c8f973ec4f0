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
  if (isAnswerYes(mirror)) {
    pressRelease(port);
    sleepSeconds(pulse);
    letGo();
    sleepSeconds(settle);
  }
  pressRelease(port);
  sleepSeconds(exposure);
  letGo();
  sleepSeconds(interval);
}

// A fresh service for each open; when none can be had the previous one serves.
// A failed open keeps the previous stream, which is already closed.
void ExposureCycle::pressRelease(const Variant& port) {
  if (auto service = ports_.create())
    service_ = std::move(service);
  const auto name = variantToText(port);
  if (!service_ || !name)
    return;
  if (auto stream = service_->open(*name))
    stream_ = std::move(stream);
}

void ExposureCycle::letGo() {
  if (stream_)
    stream_->close();
}

void ExposureCycle::sleepSeconds(const Variant& seconds) {
  if (const auto duration = durationMilliseconds(seconds))
    sleeper_.sleepFor(*duration);
}

} // namespace obturix
