#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// One journal file, written a piece at a time.
class JournalFile {
public:
  virtual ~JournalFile() = default;
  // Appends `text` and returns once it is on the disk: 0, or the system's
  // error, the file then cut back to what it was.
  virtual long append(const std::string& text) = 0;
  virtual std::string path() const = 0;
};

// Why a journal was not made where the folder is not the user's own, or
// others may write into it (not a system's error).
inline constexpr long notPrivateFolder = -1;

// The folder the journals of the series are kept in, made when first needed.
class JournalFolder {
public:
  virtual ~JournalFolder() = default;
  // Where the journals are, as the user would look for them; empty when
  // there is nowhere to keep them.
  virtual std::string path() const = 0;
  // A new journal named `stem`.csv, or `stem`_2.csv… when that name is
  // taken; nothing, and the system's error (or notPrivateFolder), when none
  // can be made.
  virtual std::unique_ptr<JournalFile> create(const std::string& stem, long& error) = 0;
  // The journals' names, in the order they were begun (a name begins with
  // its start).
  virtual std::vector<std::string> names() const = 0;
  // The text of the journal of that name; nothing when it cannot be read.
  virtual std::optional<std::string> read(const std::string& name) const = 0;
};

// The user's: $XDG_STATE_HOME/obturix/journal (~/.local/state/obturix/journal
// by default) on Linux, %LOCALAPPDATA%\Obturix\Journal on Windows.
std::shared_ptr<JournalFolder> makeUserJournalFolder();

// A new journal of `stem` under its first free name, `stem`.csv, then
// `stem`_2.csv… (99 at most): `makeNamed` makes one of a name, or gives
// nothing and the system's error, `taken` when the name is taken already.
std::unique_ptr<JournalFile> createFirstFree(
    const std::string& stem, long taken, long& error,
    const std::function<std::unique_ptr<JournalFile>(const std::string& name, long& error)>&
        makeNamed);

} // namespace obturix
