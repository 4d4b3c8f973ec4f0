#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace obturix::testing {

// A new empty folder under the system's temporary folder.
inline std::filesystem::path temporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "obturix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::filesystem::filesystem_error("mkdtemp",
                                            std::error_code(errno, std::generic_category()));
  return pattern;
}

} // namespace obturix::testing
