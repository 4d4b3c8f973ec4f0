#include "journal/journal_folder.h"
#include "journal/journal_reading.h"
#include "terminal/series_finder.h"
#include "terminal/stop_event_win32.h"
#include "terminal/stop_requests.h"
#include "text/wide_text_win32.h"

#include <windows.h>

#include <tlhelp32.h>

namespace obturix {

namespace {

// The newest journal not ended: the running series' (a named mutex claims a
// port on Windows, and names no process).
std::string unendedJournal(const JournalFolder& journals) {
  const auto names = journals.names();
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    const auto text = journals.read(*name);
    const auto record = text ? readJournal(*text) : std::nullopt;
    if (record && !record->ended)
      return *name;
  }
  return "";
}

class Win32SeriesFinder final : public SeriesFinder {
public:
  explicit Win32SeriesFinder(std::shared_ptr<JournalFolder> journals)
      : journals_(std::move(journals)) {}

  // The other terminal commands running in this session.
  std::vector<RunningSeries> running() override {
    std::vector<RunningSeries> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
      return found;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    for (BOOL more = Process32FirstW(snapshot, &process); more;
         more = Process32NextW(snapshot, &process)) {
      if (lstrcmpiW(process.szExeFile, L"obturix-serie.exe") == 0 &&
          process.th32ProcessID != GetCurrentProcessId())
        found.push_back({static_cast<long>(process.th32ProcessID), "obturix-serie", "", ""});
    }
    CloseHandle(snapshot);
    if (found.size() == 1)
      found.front().journal = unendedJournal(*journals_);
    return found;
  }

  bool stop(const RunningSeries& series) override {
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE,
                                    stopEventName(static_cast<unsigned long>(series.pid)).c_str());
    if (!event)
      return false;
    const bool set = SetEvent(event) != 0;
    CloseHandle(event);
    return set;
  }

  bool runs(const RunningSeries& series) override {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(series.pid));
    if (!process)
      return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
  }

private:
  std::shared_ptr<JournalFolder> journals_;
};

} // namespace

std::unique_ptr<SeriesFinder> makeSystemSeriesFinder(std::shared_ptr<JournalFolder> journals) {
  return std::make_unique<Win32SeriesFinder>(std::move(journals));
}

} // namespace obturix
