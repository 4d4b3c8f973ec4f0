#include "journal/journal_writer.h"

#include <deque>
#include <mutex>
#include <utility>

namespace obturix {

namespace {

struct Text {
  std::function<std::string()> make;
  std::int64_t part;
};

} // namespace

// The file is the worker's alone; the texts waiting and the outcome are
// shared with the callers' threads.
struct JournalWriter::State {
  std::shared_ptr<JournalFolder> folder;
  std::unique_ptr<JournalFile> file;
  std::mutex mutex;
  std::deque<Text> waiting;
  bool writing = false;                             // a task to write the waiting texts is posted
  std::chrono::steady_clock::time_point lastAnswer; // from the disk
  JournalOutcome outcome;
};

JournalWriter::JournalWriter(std::shared_ptr<JournalFolder> folder, std::string stem)
    : state_(std::make_shared<State>()) {
  state_->folder = std::move(folder);
  worker_.post([state = state_, stem = std::move(stem)] {
    long error = 0;
    state->file = state->folder->create(stem, error);
    const std::lock_guard lock(state->mutex);
    state->lastAnswer = std::chrono::steady_clock::now();
    state->outcome.created = state->file != nullptr;
    state->outcome.path = state->file ? state->file->path() : state->folder->path();
    state->outcome.error = error;
  });
}

void JournalWriter::write(std::string text, std::int64_t part) {
  write([text = std::move(text)] { return text; }, part);
}

void JournalWriter::write(std::function<std::string()> make, std::int64_t part) {
  {
    const std::lock_guard lock(state_->mutex);
    state_->waiting.push_back({std::move(make), part});
    if (std::exchange(state_->writing, true))
      return; // the task posted will take it
  }
  worker_.post([state = state_] { writeWaiting(*state); });
}

// Everything waiting is written at once and put on the disk with one sync,
// again until nothing waits.
void JournalWriter::writeWaiting(State& state) {
  for (;;) {
    std::deque<Text> texts;
    {
      const std::lock_guard lock(state.mutex);
      if (state.waiting.empty()) {
        state.writing = false;
        return;
      }
      texts.swap(state.waiting);
    }
    if (!state.file)
      continue;
    std::string batch;
    for (const Text& text : texts)
      batch += text.make();
    const long failed = state.file->append(batch);
    const std::lock_guard lock(state.mutex);
    state.lastAnswer = std::chrono::steady_clock::now();
    if (failed != 0) {
      state.file.reset();
      state.outcome.error = failed;
      state.outcome.lostFrom = texts.front().part;
    }
  }
}

JournalOutcome JournalWriter::finish(std::chrono::milliseconds deadline) {
  worker_.post([state = state_] { state->file.reset(); }); // closed before it is said done
  const auto waitFrom = std::chrono::steady_clock::now();
  const bool done = worker_.waitIdle(deadline);
  const std::lock_guard lock(state_->mutex);
  JournalOutcome outcome = state_->outcome;
  outcome.unfinished = !done;
  outcome.stalled = !done && state_->lastAnswer < waitFrom; // a slow disk answered meanwhile
  if (outcome.path.empty())                                 // still making the file
    outcome.path = state_->folder->path();
  return outcome;
}

} // namespace obturix
