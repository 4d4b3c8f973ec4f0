#pragma once

#include "exposure/answer_codes.h"
#include "exposure/variant.h"
#include "serial/serial_port.h"
#include "timing/sleeper.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace obturix {

// What became of a press.
enum class PressResult {
  Made,      // held for its whole length
  Missed,    // the port could not be opened: nothing was pressed
  CutByPort, // the port went away while it was held: let go there
  CutByStop, // let go by a stop before its time
};

// A press as the port saw it, on the sleeper's clock: from the instant its
// open returned to the instant its close did, or, when the port could not be
// opened, the instant that was found out and why.
struct PressRecord {
  bool mirrorPulse = false;
  std::chrono::nanoseconds pressed{0};
  std::chrono::nanoseconds released{0}; // as `pressed` when missed
  std::optional<std::chrono::milliseconds> asked;
  PressResult result = PressResult::Missed;
  PortFailure failure; // when missed or cut by the port
  bool failed() const { return result == PressResult::Missed || result == PressResult::CutByPort; }
};

// What the cycles made of their exposures, counted as the photographer
// counts them: how many were begun, and of those how many could not be made
// because the port could not be opened, were cut short (the port gone, or a
// stop), or were made whole after a mirror pulse that failed; how many
// presses (pulses included) failed, and the first of them.
struct PressCount {
  std::int64_t exposures = 0;
  std::int64_t missed = 0;
  std::int64_t cutByPort = 0;
  std::int64_t cutByStop = 0;
  std::int64_t withoutMirror = 0;
  std::int64_t failedPresses = 0;
  PressRecord firstFailed;
  // Exposures made whole.
  std::int64_t made() const { return exposures - missed - cutByPort - cutByStop; }
  // Of a series of `asked`, the exposures not started because it was stopped.
  std::int64_t notStarted(std::int64_t asked) const {
    return asked > exposures ? asked - exposures : 0;
  }
};

// Runs exposure cycles through the serial port. Keeps, between cycles, the
// last port service and the last stream opened (closed by then), and counts
// the presses. Each press's port is found during the wait before it, so that
// when the wait ends only its opening is left.
class ExposureCycle {
public:
  ExposureCycle(SerialPortServiceFactory& ports, Sleeper& sleeper)
      : ports_(ports), sleeper_(sleeper) {}

  // One exposure: if mirror is 6, a mirror-lock pulse of `pulse` seconds and
  // a wait of `settle` seconds; then the exposure of `exposure` seconds and
  // the `interval` after it. A press is timed from the port's open, a wait
  // from its close. A step that fails is skipped without a word and the
  // cycle goes on; it returns once the whole cycle has elapsed.
  void FairePause(const Variant& mirror, const Variant& exposure, const Variant& interval,
                  const Variant& port, const Variant& pulse, const Variant& settle);

  // Since the last call, or since the cycle was made.
  PressCount takePresses() {
    anyFailed_ = false;
    return std::exchange(presses_, {});
  }

  // From any thread: the press or wait under way ends at once (the release
  // is let go) and no further press is made, until resume(). A stop either
  // comes before a press's open, which is then not made, or after it.
  void stop();
  void resume() { sleeper_.resume(); }
  // Waits `length` on the presses' clock (before a series' first press),
  // ended at once by a stop.
  void wait(std::chrono::milliseconds length) {
    if (length.count() > 0)
      sleeper_.sleepUntil(sleeper_.now() + length);
  }
  // From any thread: whether a press has failed since the last takePresses().
  bool anyPressFailed() const { return anyFailed_; }
  // Called on the cycles' thread with each press tried: as soon as it is
  // let go (at its end, or when its port went away), or as soon as it cannot
  // be made; its step and the next are timed as ever, so it must only hand
  // the record over.
  using PressListener = std::function<void(const PressRecord& press)>;
  void onPress(PressListener listener) { pressListener_ = std::move(listener); }
  bool stopped() const { return sleeper_.interrupted(); }
  // The clock the presses are timed on.
  std::chrono::nanoseconds now() const { return sleeper_.now(); }

private:
  // When a press started, and whether it was tried at all (not after a
  // stop) and made.
  struct PressStart {
    std::chrono::nanoseconds at;
    bool tried = false;
    bool made = false;
    PortFailure failure = {};
  };
  // A step's length; nothing when it cannot be used, the step then skipped.
  using Length = std::optional<std::chrono::milliseconds>;
  // A press let go: when, and what it came to.
  struct PressEnd {
    std::chrono::nanoseconds at;
    PressResult result;
  };
  // The lengths of a cycle's steps; nothing for one that cannot be used.
  struct Steps {
    Length exposure, interval, pulse, settle;
  };
  const Steps& stepsOf(const Variant& exposure, const Variant& interval, const Variant& pulse,
                       const Variant& settle);
  void countExposure(PressResult result, bool mirrorFailed);
  PressStart pressRelease(const Variant& port, bool mirrorPulse, Length length);
  PressStart openPort(const Variant& port);
  bool holdFor(const PressStart& press, Length length);
  PressEnd letGo(const PressStart& press, bool mirrorPulse, Length asked, bool portLost);
  void pressOver(const PressRecord& press);
  void prepareNextPress(const Variant& port);
  void sleepFor(std::chrono::nanoseconds from, Length length);

  SerialPortServiceFactory& ports_;
  Sleeper& sleeper_;
  std::shared_ptr<SerialPortService> service_;
  std::shared_ptr<SerialStream> stream_;
  // The next press's port, found during the wait before it.
  std::optional<std::string> nextName_;
  std::unique_ptr<PreparedPort> nextPort_;
  PressCount presses_;
  std::array<Variant, 4> stepsReadFrom_; // the values steps_ was read from
  Steps steps_;
  std::atomic<bool> anyFailed_{false};
  std::mutex opening_; // a press's open, against a stop
  PressListener pressListener_;
};

} // namespace obturix
