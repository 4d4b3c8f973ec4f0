#pragma once

#include <functional>

namespace obturix {

// Qt ends the process with exit() when its display goes (an X server that
// died, an `ssh -X` link dropped), from within whatever loop runs, without
// returning to it. While one of these is alive, `task` runs first, on the
// thread that called exit(). One at a time; the process's exit handlers
// take no argument, so the one alive is the process's to know.
class BeforeExit {
public:
  explicit BeforeExit(std::function<void()> task);
  ~BeforeExit();
  BeforeExit(const BeforeExit&) = delete;
  BeforeExit& operator=(const BeforeExit&) = delete;

private:
  static void runCurrent();
  std::function<void()> task_;
};

} // namespace obturix
