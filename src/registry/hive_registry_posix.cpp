#include "files/descriptor_posix.h"
#include "files/user_files_posix.h"
#include "registry/hive_format.h"
#include "registry/hive_registry.h"
#include "registry/lock_file_posix.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace {

constexpr const char* temporaryPrefix = "registry.reg.tmp-";

long statusOf(int error) {
  switch (error) {
  case EACCES:
  case EPERM:
  case EROFS:
  case ELOOP: // a link where a file of ours should be
    return registry_status::accessDenied;
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return registry_status::diskFull;
  default:
    return registry_status::writeFault;
  }
}

std::string utcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// Temporary files left by a copy killed while saving; under the lock no
// other copy is saving.
void removeStaleTemporaries(const std::filesystem::path& folder) {
  DIR* entries = opendir(folder.c_str());
  if (!entries)
    return;
  while (const dirent* entry = readdir(entries)) {
    if (std::string_view(entry->d_name).starts_with(temporaryPrefix))
      unlinkat(dirfd(entries), entry->d_name, 0);
  }
  closedir(entries);
}

void syncFolder(const std::filesystem::path& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd)
    fsync(fd.get());
}

} // namespace

HiveRegistry::HiveRegistry(std::optional<std::filesystem::path> folder, Sleeper& clock)
    : folder_(std::move(folder)), file_(folder_ ? *folder_ / "registry.reg" : ""), clock_(clock) {}

HiveRegistry::HiveRegistry(std::optional<std::filesystem::path> folder)
    : folder_(std::move(folder)), file_(folder_ ? *folder_ / "registry.reg" : ""),
      systemClock_(makeSystemSleeper()), clock_(*systemClock_) {}

// Lock, read the file, run the operation on the registry in memory, and
// save the file if the operation changed it.
template <class Operation> long HiveRegistry::run(Operation operation) {
  if (!folder_ || !makePrivateFolder(*folder_) || !isPrivateFolder(*folder_))
    return registry_status::accessDenied;
  // A save of another copy takes milliseconds; held for longer, it is stuck.
  constexpr std::chrono::seconds patience(2), hurriedFor(5);
  const bool hurried = clock_.now() < hurriedUntil_;
  // Where the lock file cannot be had (a folder that cannot be written),
  // reading goes on without it; no change is saved without it. Another
  // program holding it longer than the patience (a stuck copy, a slow
  // network home) fails the operation.
  const auto lockPath = *folder_ / "registry.reg.lock";
  if (!lockFile_ || !lockFile_->isAt(lockPath))
    lockFile_ = LockFile::open(lockPath);
  const LockFile::Hold lock(lockFile_, clock_, hurried ? std::chrono::seconds(0) : patience);
  if (lock.timedOut()) {
    if (!hurried)
      hurriedUntil_ = clock_.now() + hurriedFor;
    return registry_status::timeout;
  }
  if (const long status = load())
    return status;
  const MemoryRegistry::Keys before = memory_.keys();
  const long status = operation();
  if (memory_.keys() == before)
    return status;
  if (!lock.held())
    return registry_status::accessDenied;
  return save();
}

long HiveRegistry::openKey(RegistryKey root, const std::string& path, std::uint32_t options,
                           std::uint32_t access, RegistryKey& opened) {
  return run([&] { return memory_.openKey(root, path, options, access, opened); });
}

long HiveRegistry::createKey(RegistryKey root, const std::string& path,
                             const std::string& className, std::uint32_t options,
                             std::uint32_t access, RegistryKey& opened) {
  if (!isWritableKeyPath(path) || !isWritableName(className))
    return registry_status::invalidParameter;
  RegistryKey key = 0;
  const long status =
      run([&] { return memory_.createKey(root, path, className, options, access, key); });
  if (status == registry_status::success)
    opened = key;
  else if (key)
    memory_.closeKey(key); // made in memory, but not saved
  return status;
}

long HiveRegistry::queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                              std::uint8_t* data, std::uint32_t& size) {
  return run([&] { return memory_.queryValue(key, name, type, data, size); });
}

long HiveRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
  if (!isWritableName(name))
    return registry_status::invalidParameter;
  return run([&] { return memory_.setValue(key, name, type, data, size); });
}

// Reads the file again. A file that cannot be read (refused, a folder, a
// link, an I/O error) fails the operation and stays as it is.
long HiveRegistry::load() {
  damagedFileInPlace_ = false;
  memory_.replaceKeys({});
  Descriptor fd(::open(file_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd)
    return errno == ENOENT ? registry_status::success : statusOf(errno);
  struct stat st {};
  std::string text;
  const ReadOutcome outcome = ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)
                                  ? readAll(fd.get(), maxFileSize, text)
                                  : ReadOutcome::Failed;
  const int error = errno;
  fd.close();
  if (outcome == ReadOutcome::Failed)
    return S_ISREG(st.st_mode) ? statusOf(error) : registry_status::accessDenied;
  auto keys = outcome == ReadOutcome::Whole ? parseHive(text) : std::nullopt;
  if (keys)
    memory_.replaceKeys(std::move(*keys));
  else
    setAside();
  return registry_status::success;
}

// Keeps a damaged file under another name, so nothing in it is lost.
void HiveRegistry::setAside() {
  const std::string stamp = utcStamp();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto aside = file_;
    aside += ".bad-" + stamp + (attempt ? "-" + std::to_string(attempt) : "");
    if (::access(aside.c_str(), F_OK) == 0)
      continue;
    if (::rename(file_.c_str(), aside.c_str()) == 0) {
      damaged_ = DamagedSettingsFile{file_.string(), aside.string()};
      return;
    }
    break;
  }
  damagedFileInPlace_ = true; // could not be moved: it must not be replaced either
  if (!std::exchange(toldInPlace_, true))
    damaged_ = DamagedSettingsFile{file_.string(), std::nullopt};
}

// Replaces the file at once: a new file beside it, created afresh, flushed,
// renamed over it. A file that would be too large to read back is refused.
long HiveRegistry::save() {
  if (damagedFileInPlace_)
    return registry_status::accessDenied;
  const std::string text = writeHive(memory_.keys());
  if (text.size() > maxFileSize)
    return registry_status::fileTooLarge;
  removeStaleTemporaries(*folder_);
  auto temporary = file_;
  temporary.replace_filename(temporaryPrefix + std::to_string(getpid()));
  Descriptor fd(
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd)
    return statusOf(errno);
  const bool written = writeAll(fd.get(), text) && fsync(fd.get()) == 0;
  const int writeError = errno;
  if (fd.close() != 0 || !written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
    const int error = written ? errno : writeError;
    ::unlink(temporary.c_str());
    return statusOf(error);
  }
  syncFolder(*folder_);
  return registry_status::success;
}

// The statuses the hive gives besides those the messages name: never a
// Windows number on a system that has none.
std::string registryFailureWords(long status) {
  switch (status) {
  case registry_status::writeFault:
    return "la lecture ou l'écriture du fichier des paramètres a échoué";
  case registry_status::invalidParameter:
    return "une valeur n'a pas pu être convertie";
  default:
    return "erreur inattendue du fichier des paramètres";
  }
}

std::unique_ptr<Registry> makeUserRegistry() {
  return std::make_unique<HiveRegistry>(userConfigFolder());
}

} // namespace obturix
