#include "files/descriptor_posix.h"
#include "files/user_files_posix.h"
#include "journal/journal_folder.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace {

class PosixJournalFile final : public JournalFile {
public:
  PosixJournalFile(Descriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  PosixJournalFile(const PosixJournalFile&) = delete;
  PosixJournalFile& operator=(const PosixJournalFile&) = delete;

  // A line cut short by a full disk is taken back: the file keeps whole lines.
  long append(const std::string& text) override {
    if (writeAll(fd_.get(), text) && fdatasync(fd_.get()) == 0) {
      size_ += static_cast<off_t>(text.size());
      return 0;
    }
    const long error = errno;
    if (ftruncate(fd_.get(), size_) == 0)
      lseek(fd_.get(), size_, SEEK_SET);
    return error;
  }
  std::string path() const override { return path_; }

private:
  Descriptor fd_;
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
    return createFirstFree(stem, EEXIST, error, [this](const std::string& name, long& failed) {
      const std::string file = (folder_ / name).string();
      Descriptor fd(
          ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      failed = fd ? 0 : errno;
      return fd ? std::make_unique<PosixJournalFile>(std::move(fd), file) : nullptr;
    });
  }

  std::vector<std::string> names() const override {
    std::vector<std::string> found;
    std::error_code error;
    if (!folder_.empty())
      for (const auto& entry : std::filesystem::directory_iterator(folder_, error))
        if (entry.path().extension() == ".csv" && entry.is_regular_file(error))
          found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

  std::optional<std::string> read(const std::string& name) const override {
    constexpr std::size_t longest = 256 << 20; // a century of exposures is not that long
    Descriptor fd(::open((folder_ / name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::string text;
    if (folder_.empty() || !fd || readAll(fd.get(), longest, text) != ReadOutcome::Whole)
      return std::nullopt;
    return text;
  }

private:
  std::filesystem::path folder_;
};

} // namespace

std::shared_ptr<JournalFolder> makeUserJournalFolder() {
  return std::make_shared<PosixJournalFolder>();
}

} // namespace obturix
