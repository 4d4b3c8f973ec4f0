#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace obturix {

// A base folder of the user's: `variable` when it names an absolute path,
// else `underHome` in the home folder ("XDG_CONFIG_HOME", ".config"); nothing
// when there is no home folder.
std::optional<std::filesystem::path> userBaseFolder(const char* variable, const char* underHome);

// The program's settings folder: $XDG_CONFIG_HOME/obturix, or
// ~/.config/obturix; nothing when the user has no home folder.
std::optional<std::filesystem::path> userConfigFolder();

// Creates the folder and its missing parents, private to the user; true
// when it exists. errno tells why not.
bool makePrivateFolder(const std::filesystem::path& folder);

// Whether the folder is the user's own, and nobody else may write into it.
bool isPrivateFolder(const std::filesystem::path& folder);

// Writes all of `data`, again after an interruption; errno tells why not.
bool writeAll(int fd, const std::string& data);

// Reads to the end, appending to `data`; stops once it holds more than
// `limit` bytes. Failed: errno tells why.
enum class ReadOutcome { Whole, TooLarge, Failed };
ReadOutcome readAll(int fd, std::size_t limit, std::string& data);

} // namespace obturix
