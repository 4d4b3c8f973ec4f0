#include "files/user_files_posix.h"
#include "journal/journal_folder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace {

class PosixJournalFile final : public JournalFile {
public:
  PosixJournalFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixJournalFile() override { ::close(fd_); }
  PosixJournalFile(const PosixJournalFile&) = delete;
  PosixJournalFile& operator=(const PosixJournalFile&) = delete;

  // A line cut short by a full disk is taken back: the file keeps whole lines.
  long append(const std::string& text) override {
    if (writeAll(fd_, text) && fdatasync(fd_) == 0) {
      size_ += static_cast<off_t>(text.size());
      return 0;
    }
    const long error = errno;
    if (ftruncate(fd_, size_) == 0)
      lseek(fd_, size_, SEEK_SET);
    return error;
  }
  std::string path() const override { return path_; }

private:
  int fd_;
  std::string path_;
  off_t size_ = 0;
};

class PosixJournalFolder final : public JournalFolder {
public:
  PosixJournalFolder() {
    if (const auto state = userBaseFolder("XDG_STATE_HOME", ".local/state"))
      folder_ = *state / "obturix" / "journal";
  }
  std::string path() const override { return folder_.empty() ? "" : folder_.string() + "/"; }

  std::unique_ptr<JournalFile> create(const std::string& stem, long& error) override {
    error = ENOENT; // no home folder
    if (folder_.empty())
      return nullptr;
    if (!makePrivateFolder(folder_)) {
      error = errno;
      return nullptr;
    }
    // Another account's folder, or one others may write into, could hold a
    // link in the journal's place or take it away.
    if (!isPrivateFolder(folder_)) {
      error = notPrivateFolder;
      return nullptr;
    }
    for (int n = 1; n <= journalNamesPerSecond; ++n) {
      const std::string file = (folder_ / journalFileName(stem, n)).string();
      const int fd =
          ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd >= 0) {
        error = 0;
        return std::make_unique<PosixJournalFile>(fd, file);
      }
      error = errno;
      if (error != EEXIST)
        break;
    }
    return nullptr;
  }

private:
  std::filesystem::path folder_;
};

} // namespace

std::shared_ptr<JournalFolder> makeUserJournalFolder() {
  return std::make_shared<PosixJournalFolder>();
}

} // namespace obturix
