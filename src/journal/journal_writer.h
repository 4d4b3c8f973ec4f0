#pragma once

#include "journal/journal_folder.h"
#include "threads/ordered_worker.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace obturix {

// The part of a journal a text is: its opening, an exposure's line (its
// number), its closing.
inline constexpr std::int64_t journalOpeningPart = 0;
inline constexpr std::int64_t journalClosingPart = -1;

// What the writing of a journal came to.
struct JournalOutcome {
  std::string path;                           // the file, or its folder when none could be made
  bool created = false;                       // the file was made
  long error = 0;                             // the system's error that stopped the writing
  std::int64_t lostFrom = journalOpeningPart; // the first part not written
  bool unfinished = false;                    // still writing when the deadline passed
  bool stalled = false;                       // …and the disk did not answer while waited for
  bool written() const { return created && error == 0 && !unfinished; }
};

// Writes a journal on a worker thread of its own, so that a slow or hung disk
// holds neither the window nor the series: the file is made there, then the
// texts are written and put on the disk in turn, those that came while the
// disk was busy together, so that a slow disk costs fewer syncs, not texts.
// After a failure nothing more is written, so the file holds whole texts only.
class JournalWriter {
public:
  JournalWriter(std::shared_ptr<JournalFolder> folder, std::string stem);

  // From any thread: the text `make` gives, made on the writer's thread, so
  // that the caller only hands it over.
  void write(std::function<std::string()> make, std::int64_t part);
  void write(std::string text, std::int64_t part);
  // Waits until every text is written, `deadline` at most (a thread still
  // writing is then left to itself), and tells what came of it.
  JournalOutcome finish(std::chrono::milliseconds deadline);

private:
  struct State;
  static void writeWaiting(State& state);
  std::shared_ptr<State> state_;
  OrderedWorker worker_;
};

} // namespace obturix
