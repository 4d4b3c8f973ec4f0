#include "journal/journal_folder.h"

namespace obturix {

std::unique_ptr<JournalFile> createFirstFree(
    const std::string& stem, long taken, long& error,
    const std::function<std::unique_ptr<JournalFile>(const std::string& name, long& error)>&
        makeNamed) {
  constexpr int namesPerSecond = 99;
  for (int n = 1; n <= namesPerSecond; ++n) {
    auto file = makeNamed(stem + (n > 1 ? "_" + std::to_string(n) : "") + ".csv", error);
    if (file || error != taken)
      return file;
  }
  return nullptr;
}

} // namespace obturix
