#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace obturix::testing {

// A new empty folder under the system's temporary folder, removed with it.
struct TemporaryFolder {
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "obturix-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path = pattern;
  }
  ~TemporaryFolder() { std::filesystem::remove_all(path); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  std::filesystem::path path;
};

} // namespace obturix::testing
