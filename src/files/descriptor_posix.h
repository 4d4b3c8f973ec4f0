#pragma once

#include <utility>

namespace obturix {

// A descriptor of the program's own: closed once, when dropped or closed,
// so that a number that may since belong to another file is never closed.
class Descriptor {
public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close(); }
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      close();
      fd_ = other.release();
    }
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes it now: 0, or -1 with errno set (a close may report a write's
  // failure). Nothing to close gives 0.
  int close();

private:
  int release() { return std::exchange(fd_, -1); }
  int fd_ = -1;
};

} // namespace obturix
