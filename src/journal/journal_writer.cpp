#include "journal/journal_writer.h"

#include <mutex>
#include <utility>

namespace obturix {

// The file is the worker's alone; the outcome is read from the caller's thread.
struct JournalWriter::State {
  std::shared_ptr<JournalFolder> folder;
  std::unique_ptr<JournalFile> file;
  std::mutex mutex;
  JournalOutcome outcome;
};

JournalWriter::JournalWriter(std::shared_ptr<JournalFolder> folder, std::string stem)
    : state_(std::make_shared<State>()) {
  state_->folder = std::move(folder);
  worker_.post([state = state_, stem = std::move(stem)] {
    long error = 0;
    state->file = state->folder->create(stem, error);
    const std::lock_guard lock(state->mutex);
    state->outcome.created = state->file != nullptr;
    state->outcome.path = state->file ? state->file->path() : state->folder->path();
    state->outcome.error = error;
  });
}

void JournalWriter::write(std::string text, std::int64_t part) {
  worker_.post([state = state_, text = std::move(text), part] {
    if (!state->file)
      return;
    const long failed = state->file->append(text);
    if (failed == 0)
      return;
    state->file.reset();
    const std::lock_guard lock(state->mutex);
    state->outcome.error = failed;
    state->outcome.lostFrom = part;
  });
}

JournalOutcome JournalWriter::finish(std::chrono::milliseconds deadline) {
  worker_.post([state = state_] { state->file.reset(); }); // closed before it is said done
  const bool done = worker_.waitIdle(deadline);
  const std::lock_guard lock(state_->mutex);
  JournalOutcome outcome = state_->outcome;
  outcome.unfinished = !done;
  if (outcome.path.empty()) // still making the file
    outcome.path = state_->folder->path();
  return outcome;
}

} // namespace obturix
