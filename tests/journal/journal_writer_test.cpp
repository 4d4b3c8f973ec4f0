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

// A slow disk costs syncs, not lines: what comes while one runs is written
// with the next, so that 500 presses on a disk taking 20 ms a sync are all
// kept, in order, within the end's deadline.
TEST(JournalWriter, KeepsUpWithASlowDisk) {
  using namespace std::chrono_literals;
  const auto folder = std::make_shared<testing::FakeJournalFolder>();
  folder->appendTakes = 20ms;
  std::string all;
  JournalWriter writer(folder, "s");
  for (int press = 1; press <= 500; ++press) {
    const std::string line = std::to_string(press) + ";pose\r\n";
    writer.write(line, press);
    all += line;
  }
  EXPECT_TRUE(writer.finish(3s).written());
  EXPECT_EQ(folder->files.at("s.csv"), all);
}

// What keeps a journal from being finished in time is told as it is: a disk
// that answered while the end waited is slow, one that did not has hung.
TEST(JournalWriter, ADiskTooSlowForTheDeadlineIsToldSlow) {
  using namespace std::chrono_literals;
  const auto folder = std::make_shared<testing::FakeJournalFolder>();
  folder->appendTakes = 100ms;
  JournalOutcome outcome;
  {
    JournalWriter writer(folder, "s");
    writer.write("A\r\n", 1);
    while (folder->appendsBegun == 0)
      std::this_thread::yield();
    writer.write("B\r\n", 2); // after A, whose sync the end will see answer
    outcome = writer.finish(150ms);
  }
  EXPECT_TRUE(outcome.unfinished);
  EXPECT_EQ(unwrittenJournalWarning(outcome),
            "Le journal de cette série, «\u00A0/state/journal/s.csv\u00A0», n'a pas pu être "
            "écrit jusqu'au bout\u00A0: le disque est trop lent.");
  while (folder.use_count() > 1)
    std::this_thread::yield();
}

} // namespace
} // namespace obturix
