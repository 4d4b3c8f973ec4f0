#pragma once

#include "files/descriptor_posix.h"

#include "timing/sleeper.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>

namespace obturix {

// A lock file (flock), open once for many operations, each of which holds
// its lock in turn. Where another program holds it, one thread at most waits
// for it in the kernel's queue, which hands it over in turn; an operation
// that stops waiting leaves that thread waiting, and the next operation
// waits on the same thread rather than another. The lock belongs to the open
// file, so an operation finds it free, or already granted to that thread,
// in one try.
class LockFile {
public:
  // Opens `path` (made 0600, a link not followed); nothing where it cannot be.
  static std::shared_ptr<LockFile> open(const std::filesystem::path& path);
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Whether `path` still names this file (not removed, or replaced, since).
  bool isAt(const std::filesystem::path& path) const;

  // Holds the lock for its own life: at once when it is free, else after
  // waiting for it `patience` at most on `clock`, woken as soon as it comes.
  class Hold {
  public:
    Hold(std::shared_ptr<LockFile> file, Sleeper& clock, std::chrono::nanoseconds patience);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool held() const { return held_; }
    bool timedOut() const { return timedOut_; }

  private:
    std::shared_ptr<LockFile> file_;
    bool held_ = false;
    bool timedOut_ = false;
  };

private:
  explicit LockFile(int fd) : fd_(fd) {}
  int fd() const { return fd_.get(); }
  static void waitInQueue(const std::shared_ptr<LockFile>& file);

  Descriptor fd_;
  std::mutex mutex_;
  bool inUse_ = false;       // an operation holds the lock
  bool queued_ = false;      // the thread waits in the kernel's queue
  bool failed_ = false;      // the thread's wait failed (no lock to be had)
  Sleeper* waker_ = nullptr; // the clock of the operation waiting for the thread
};

} // namespace obturix
