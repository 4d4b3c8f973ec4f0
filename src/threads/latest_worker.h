#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace obturix {

// Runs `work` on a thread of its own, nobody joining it (see runDetached),
// each time it is asked, once for all the asks made while it ran: for a slow
// or hung service of which only the latest answer, or the latest state to
// send, matters. The thread ends once the worker is gone and the work under
// way is over.
class LatestWorker {
public:
  explicit LatestWorker(std::function<void()> work);
  ~LatestWorker();
  LatestWorker(const LatestWorker&) = delete;
  LatestWorker& operator=(const LatestWorker&) = delete;

  // From any thread: the work runs again soon; the ask's number.
  unsigned ask();
  // The same, unless an ask is waiting already: the number of the ask that
  // will answer.
  unsigned askUnlessWaiting();
  // Waits until the work has run since ask number `asked`, `deadline` at
  // most; whether it had.
  bool waitFor(unsigned asked, std::chrono::milliseconds deadline);
  // Whether the work has ever run.
  bool answered() const;

private:
  struct State;
  std::shared_ptr<State> state_;
};

// Runs `task` on a thread nobody joins: one that waits on a hung disk or bus
// holds neither its caller nor the end of the program. What it uses must be
// its own (shared), as it may outlive everything else.
void runDetached(std::function<void()> task);

} // namespace obturix
