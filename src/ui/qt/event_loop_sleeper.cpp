#include "ui/qt/event_loop_sleeper.h"

#include "platform/monotonic_clock.h"

#include <QEventLoop>
#include <QTimer>

namespace obturix {

namespace {

// Timers of the event loop fire to the millisecond at best and may be late;
// the loop hands over to the precise sleep this long before the deadline.
constexpr std::chrono::milliseconds handOver{3};

} // namespace

void EventLoopSleeper::sleepFor(std::chrono::milliseconds duration) {
  const auto deadline = monotonicNow() + duration;
  for (;;) {
    const auto remaining =
        std::chrono::floor<std::chrono::milliseconds>(deadline - handOver - monotonicNow());
    if (remaining.count() <= 0)
      break;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(remaining);
    // Clicks and keys wait in the queue until the series is over.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  sleepUntilMonotonic(deadline);
}

} // namespace obturix
