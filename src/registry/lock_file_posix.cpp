#include "registry/lock_file_posix.h"

#include "threads/latest_worker.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace obturix {

namespace {

int lockFile(int fd, int operation) {
  int done;
  while ((done = flock(fd, operation)) != 0 && errno == EINTR) {
  }
  return done;
}

} // namespace

std::shared_ptr<LockFile> LockFile::open(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0)
    return nullptr;
  return std::shared_ptr<LockFile>(new LockFile(fd));
}

LockFile::~LockFile() = default;

bool LockFile::isAt(const std::filesystem::path& path) const {
  struct stat named {
  }, opened{};
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd(), &opened) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// The thread owns a share of the file: it may wait for longer than the
// registry lives. When the lock comes, it goes to the operation waiting for
// it, or, with none waiting and none holding it, is let go at once.
void LockFile::waitInQueue(const std::shared_ptr<LockFile>& file) {
  const int taken = lockFile(file->fd(), LOCK_EX);
  const std::lock_guard guard(file->mutex_);
  file->queued_ = false;
  if (file->waker_) {
    file->inUse_ = taken == 0;
    file->failed_ = taken != 0;
    file->waker_->interrupt();
    file->waker_ = nullptr;
  } else if (taken == 0 && !file->inUse_) {
    lockFile(file->fd(), LOCK_UN);
  }
}

LockFile::Hold::Hold(std::shared_ptr<LockFile> file, Sleeper& clock,
                     std::chrono::nanoseconds patience)
    : file_(std::move(file)) {
  if (!file_)
    return;
  std::unique_lock guard(file_->mutex_);
  if (lockFile(file_->fd(), LOCK_EX | LOCK_NB) == 0) {
    held_ = file_->inUse_ = true;
    return;
  }
  if (errno != EWOULDBLOCK)
    return; // no lock to be had here: reading goes on without it
  const auto deadline = clock.now() + patience;
  if (patience > std::chrono::nanoseconds(0) && !file_->queued_) {
    file_->queued_ = true;
    runDetached([file = file_] { waitInQueue(file); });
  }
  file_->failed_ = false;
  clock.resume();
  file_->waker_ = &clock;
  while (file_->queued_ && clock.now() < deadline) {
    guard.unlock();
    clock.sleepUntil(deadline); // ended early by the thread when the lock comes
    guard.lock();
  }
  file_->waker_ = nullptr;
  clock.resume();
  held_ = file_->inUse_;
  timedOut_ = !held_ && !file_->failed_;
}

LockFile::Hold::~Hold() {
  if (!held_)
    return;
  const std::lock_guard guard(file_->mutex_);
  lockFile(file_->fd(), LOCK_UN);
  file_->inUse_ = false;
}

} // namespace obturix
