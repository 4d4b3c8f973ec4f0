#pragma once

#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace obturix::testing {

// Runs `work` in a child process; returns its exit status.
inline int inChild(const std::function<int()>& work) {
  const pid_t pid = fork();
  if (pid == 0)
    _exit(work());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// In a child run as root: becomes a user with no name, no home and no
// group but its own. False when that cannot be done.
inline bool becomeUnprivileged() {
  constexpr uid_t nobodyKnown = 54321;
  return setgroups(0, nullptr) == 0 && setgid(nobodyKnown) == 0 && setuid(nobodyKnown) == 0;
}

} // namespace obturix::testing
