#include "terminal/serie_loop.h"

#include "text/french.h"
#include "threads/timing_thread.h"

#include <atomic>

namespace obturix {

namespace {

// As often as a window picks up what the timing thread hands over.
constexpr std::chrono::milliseconds pickUpEvery{40};

void take(StopRequests::Request request, SeriesRun& run, TerminalFront& front, Console& console) {
  using enum StopRequests::Request;
  switch (request) {
  case Stop:
    run.stop(SeriesEnd::StoppedByUser);
    break;
  case TerminalLost:
    console.terminalLost();
    break;
  case Suspend:
    front.tellAtOnce(typeset("Une série ne peut pas être suspendue : le déclencheur resterait "
                             "appuyé. Ctrl-C l'arrête."));
    break;
  case None:
    break;
  }
}

} // namespace

SeriesOutcome runOnTerminal(SeriesRun& run, TerminalFront& front, Console& console,
                            StopRequests& requests, const std::function<void()>& tick) {
  return run.run(front, [&](const std::function<void(const HandOver&)>& cycles) {
    std::atomic<bool> over{false};
    TimingThread timing(cycles, [&over] { over = true; });
    while (!over) {
      take(requests.wait(pickUpEvery), run, front, console);
      timing.runHandedOver();
      tick();
    }
    timing.finish();
  });
}

} // namespace obturix
