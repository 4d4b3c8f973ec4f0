#include "ui/qt/before_exit.h"

#include <cstdlib>
#include <mutex>
#include <utility>

namespace obturix {

namespace {

BeforeExit* current = nullptr; // the one alive, set and read on the window's thread

} // namespace

BeforeExit::BeforeExit(std::function<void()> task) : task_(std::move(task)) {
  static std::once_flag registered;
  std::call_once(registered, [] { std::atexit(runCurrent); });
  current = this;
}

BeforeExit::~BeforeExit() {
  if (current == this)
    current = nullptr;
}

void BeforeExit::runCurrent() {
  if (BeforeExit* running = std::exchange(current, nullptr))
    running->task_();
}

} // namespace obturix
