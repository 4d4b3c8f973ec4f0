#include "journal/journal_writer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace obturix {

struct JournalWriter::State {
  std::shared_ptr<JournalFolder> folder;
  std::string stem;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::pair<std::string, std::int64_t>> texts;
  bool closing = false;
  bool done = false;
  JournalOutcome outcome;
};

JournalWriter::JournalWriter(std::shared_ptr<JournalFolder> folder, std::string stem)
    : state_(std::make_shared<State>()) {
  state_->folder = std::move(folder);
  state_->stem = std::move(stem);
  std::thread([state = state_] { run(state); }).detach();
}

JournalWriter::~JournalWriter() {
  if (!finished_)
    finish(std::chrono::milliseconds(0));
}

void JournalWriter::write(std::string text, std::int64_t part) {
  const std::lock_guard lock(state_->mutex);
  state_->texts.emplace_back(std::move(text), part);
  state_->changed.notify_all();
}

JournalOutcome JournalWriter::finish(std::chrono::milliseconds deadline) {
  finished_ = true;
  std::unique_lock lock(state_->mutex);
  state_->closing = true;
  state_->changed.notify_all();
  const bool done = state_->changed.wait_for(lock, deadline, [this] { return state_->done; });
  JournalOutcome outcome = state_->outcome;
  outcome.unfinished = !done;
  if (outcome.path.empty()) // still making the file
    outcome.path = state_->folder->path();
  return outcome;
}

// The writer's thread: detached, it keeps what it needs for as long as it runs.
void JournalWriter::run(const std::shared_ptr<State>& state) {
  long error = 0;
  std::unique_ptr<JournalFile> file = state->folder->create(state->stem, error);
  std::unique_lock lock(state->mutex);
  JournalOutcome& outcome = state->outcome;
  outcome.created = file != nullptr;
  outcome.path = file ? file->path() : state->folder->path();
  outcome.error = error;
  for (;;) {
    state->changed.wait(lock, [&] { return !state->texts.empty() || state->closing; });
    if (state->texts.empty())
      break;
    const auto [text, part] = std::move(state->texts.front());
    state->texts.pop_front();
    if (!file || outcome.error != 0)
      continue;
    lock.unlock();
    const long failed = file->append(text);
    lock.lock();
    if (failed != 0) {
      outcome.error = failed;
      outcome.lostFrom = part;
    }
  }
  lock.unlock();
  file.reset(); // closed before the writing is said to be done
  lock.lock();
  state->done = true;
  state->changed.notify_all();
}

} // namespace obturix
