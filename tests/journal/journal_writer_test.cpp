#include "journal/journal_texts.h"
#include "journal/journal_writer.h"

#include "fakes/fake_platform.h"

#include <gtest/gtest.h>

#include <thread>

namespace obturix {
namespace {

// A disk that does not answer holds the end of a series no longer than its
// deadline, and the user is told the journal was not finished; the writing
// ends on its own once the disk answers.
TEST(JournalWriter, AHungDiskHoldsTheEndOnlyUntilItsDeadline) {
  using namespace std::chrono_literals;
  const auto folder = std::make_shared<testing::FakeJournalFolder>();
  folder->hold = true;
  JournalOutcome outcome;
  {
    JournalWriter writer(folder, "2026-12-07_21-00-00");
    writer.write("Obturix\r\n", journalOpeningPart);
    outcome = writer.finish(0ms);
  }
  EXPECT_FALSE(outcome.written());
  EXPECT_EQ(unwrittenJournalWarning(outcome),
            "Le journal de cette série, «\u00A0/state/journal/\u00A0», n'a pas pu être écrit "
            "jusqu'au bout\u00A0: le disque ne répond plus.");
  folder->hold = false;
  while (folder.use_count() > 1) // the writer's thread lets go of it as it ends
    std::this_thread::yield();
  EXPECT_EQ(folder->files.at("2026-12-07_21-00-00.csv"), "Obturix\r\n");
}

} // namespace
} // namespace obturix
