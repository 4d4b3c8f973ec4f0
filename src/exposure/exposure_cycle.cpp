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
// A failed open keeps the previous stream, which is already closed, and is
// counted.
void ExposureCycle::pressRelease(const Variant& port) {
  ++presses_.asked;
  if (auto service = ports_.create())
    service_ = std::move(service);
  const auto name = variantToText(port);
  auto stream = service_ && name ? service_->open(*name) : nullptr;
  if (stream)
    stream_ = std::move(stream);
  else
    ++presses_.failed;
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
