#include "journal/journal_folder.h"
#include "serial/port_lock_posix.h"
#include "terminal/series_finder.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

// A series' process keeps its journal open until the series ends.
std::string journalOf(long pid, const std::string& journals) {
  std::error_code error;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    const fs::path target = fs::read_symlink(fd.path(), error);
    if (!error && target.extension() == ".csv" && target.parent_path().string() + "/" == journals)
      return target.filename().string();
  }
  return "";
}

bool isOurs(long pid) {
  struct stat process {};
  return ::stat(("/proc/" + std::to_string(pid)).c_str(), &process) == 0 &&
         process.st_uid == geteuid();
}

class PosixSeriesFinder final : public SeriesFinder {
public:
  explicit PosixSeriesFinder(std::string journals) : journals_(std::move(journals)) {}

  std::vector<RunningSeries> running() override {
    std::vector<fs::path> folders{systemLockFolder};
    if (const auto runtime = privateRuntimeFolder())
      folders.push_back(*runtime);
    std::vector<RunningSeries> found;
    for (const fs::path& folder : folders)
      for (const LockedPort& port : lockedPorts(folder)) {
        const PortHolder& holder = port.holder;
        if ((holder.program == "obturix" || holder.program == "obturix-serie") &&
            isOurs(holder.pid))
          found.push_back(
              {holder.pid, holder.program, port.device, journalOf(holder.pid, journals_)});
      }
    return found;
  }
  bool stop(const RunningSeries& series) override {
    return kill(static_cast<pid_t>(series.pid), SIGTERM) == 0;
  }
  bool runs(const RunningSeries& series) override {
    return kill(static_cast<pid_t>(series.pid), 0) == 0;
  }

private:
  std::string journals_;
};

} // namespace

std::unique_ptr<SeriesFinder> makeSystemSeriesFinder(std::shared_ptr<JournalFolder> journals) {
  return std::make_unique<PosixSeriesFinder>(journals->path());
}

} // namespace obturix
