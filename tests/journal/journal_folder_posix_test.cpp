#include "journal/journal_folder.h"

#include "fakes/child_process.h"
#include "fakes/temporary_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace obturix {
namespace {

mode_t modeOf(const std::filesystem::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 0777;
}

// Journals go to $XDG_STATE_HOME/obturix/journal (~/.local/state when it is
// unset or not absolute), private to the user; a second series begun in the
// same second has a file of its own, none is written over; a folder that
// cannot be made is told with the system's reason.
TEST(JournalFolderPosix, KeepsEachSeriesInAFileOfItsOwn) {
  testing::TemporaryFolder home;
  setenv("HOME", home.path.c_str(), 1);
  setenv("XDG_STATE_HOME", (home.path / "state").c_str(), 1);
  const auto folder = makeUserJournalFolder();
  const auto where = home.path / "state" / "obturix" / "journal";
  EXPECT_EQ(folder->path(), where.string() + "/");
  long error = -1;
  const auto first = folder->create("2026-12-07_21-04-12", error);
  const auto second = folder->create("2026-12-07_21-04-12", error);
  ASSERT_TRUE(first && second) << error;
  EXPECT_EQ(second->path(), (where / "2026-12-07_21-04-12_2.csv").string());
  EXPECT_EQ(first->append("Obturix\r\n"), 0);
  EXPECT_EQ(first->append("1;pose\r\n"), 0);
  std::ifstream file(first->path(), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "Obturix\r\n1;pose\r\n");
  EXPECT_EQ(modeOf(where), 0700u);
  EXPECT_EQ(modeOf(first->path()), 0600u);

  setenv("XDG_STATE_HOME", "state", 1);
  EXPECT_EQ(makeUserJournalFolder()->path(),
            (home.path / ".local" / "state" / "obturix" / "journal").string() + "/");
  std::ofstream(home.path / ".local"); // a file where a folder must be
  EXPECT_FALSE(makeUserJournalFolder()->create("2026-12-07_21-04-12", error));
  EXPECT_EQ(error, ENOTDIR);

  // A folder others may write into (or another account's) could have a link
  // planted in a journal's place: not used.
  chmod(where.c_str(), 0777);
  setenv("XDG_STATE_HOME", (home.path / "state").c_str(), 1);
  EXPECT_FALSE(makeUserJournalFolder()->create("2026-12-07_21-04-13", error));
  EXPECT_EQ(error, notPrivateFolder);
}

// A line the disk cannot take whole (here a file size limit, as a full disk
// would) is taken back: the journal keeps whole lines, and says why.
TEST(JournalFolderPosix, ALineCutShortIsTakenBack) {
  testing::TemporaryFolder home;
  setenv("XDG_STATE_HOME", home.path.c_str(), 1);
  const int status = testing::inChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20, 20};
    long error = 0;
    const auto file = makeUserJournalFolder()->create("s", error);
    if (!file || setrlimit(RLIMIT_FSIZE, &limit) != 0 || file->append("Obturix\r\n") != 0)
      return 1;
    return file->append("1;pose;2026-12-07 21:04:12,345\r\n") == EFBIG ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
  std::ifstream file(home.path / "obturix" / "journal" / "s.csv", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "Obturix\r\n");
}

} // namespace
} // namespace obturix
