#include "files/user_files_posix.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

std::optional<std::filesystem::path> userBaseFolder(const char* variable, const char* underHome) {
  const char* base = std::getenv(variable);
  if (base && base[0] == '/')
    return std::filesystem::path(base);
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* user = getpwuid(geteuid());
    home = user && user->pw_dir && user->pw_dir[0] == '/' ? user->pw_dir : nullptr;
  }
  if (!home)
    return std::nullopt;
  return std::filesystem::path(home) / underHome;
}

std::optional<std::filesystem::path> userConfigFolder() {
  const auto config = userBaseFolder("XDG_CONFIG_HOME", ".config");
  return config ? std::optional(*config / "obturix") : std::nullopt;
}

bool makePrivateFolder(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
    return true;
  if (errno != ENOENT || !folder.has_parent_path() || folder.parent_path() == folder)
    return false;
  return makePrivateFolder(folder.parent_path()) &&
         (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST);
}

bool isPrivateFolder(const std::filesystem::path& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool writeAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

ReadOutcome readAll(int fd, std::size_t limit, std::string& data) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return ReadOutcome::Failed;
    if (got == 0)
      return ReadOutcome::Whole;
    data.append(buffer, static_cast<std::size_t>(got));
    if (data.size() > limit)
      return ReadOutcome::TooLarge;
  }
}

} // namespace obturix
