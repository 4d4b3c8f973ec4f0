#pragma once

#include "exposure/variant.h"

#include <chrono>
#include <optional>

namespace obturix {

// A duration in seconds (a decimal text, or a number) as whole milliseconds,
// rounded halves to even by exact decimal arithmetic: "2.5" is 2500 ms,
// "0.0015" and "0.0025" both 2 ms. Nothing when the value is not a number,
// is negative, or does not fit a signed 32-bit count of milliseconds.
std::optional<std::chrono::milliseconds> durationMilliseconds(const Variant& seconds);

} // namespace obturix
