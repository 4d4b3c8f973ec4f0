#include "journal/journal_folder.h"

#include "text/wide_text_win32.h"

#include <algorithm>
#include <knownfolders.h>
#include <shlobj.h>
#include <windows.h>

namespace obturix {

namespace {

class Win32JournalFile final : public JournalFile {
public:
  Win32JournalFile(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}
  ~Win32JournalFile() override { CloseHandle(file_); }
  Win32JournalFile(const Win32JournalFile&) = delete;
  Win32JournalFile& operator=(const Win32JournalFile&) = delete;

  // Written through to the disk (the file is opened so), not flushed after:
  // under Wine a flush would hold the server every thread waits on. A line
  // cut short by a full disk is taken back: the file keeps whole lines.
  long append(const std::string& text) override {
    DWORD written = 0;
    if (WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size()) {
      size_.QuadPart += written;
      return 0;
    }
    const long error = static_cast<long>(GetLastError());
    if (SetFilePointerEx(file_, size_, nullptr, FILE_BEGIN))
      SetEndOfFile(file_);
    return error;
  }
  std::string path() const override { return path_; }

private:
  HANDLE file_;
  std::string path_;
  LARGE_INTEGER size_{};
};

class Win32JournalFolder final : public JournalFolder {
public:
  Win32JournalFolder() {
    PWSTR local = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &local)))
      base_ = local;
    CoTaskMemFree(local);
  }
  std::string path() const override { return base_.empty() ? "" : narrow(folder()); }

  std::unique_ptr<JournalFile> create(const std::string& stem, long& error) override {
    error = ERROR_PATH_NOT_FOUND; // no local application data
    if (base_.empty())
      return nullptr;
    const std::wstring folder = this->folder();
    for (const std::wstring& each : {base_ + L"\\Obturix", folder}) {
      if (!CreateDirectoryW(each.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = static_cast<long>(GetLastError());
        return nullptr;
      }
    }
    return createFirstFree(
        stem, ERROR_FILE_EXISTS, error, [&folder](const std::string& name, long& failed) {
          const std::wstring file = folder + widen(name);
          const HANDLE handle =
              CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
          const bool made = handle != INVALID_HANDLE_VALUE;
          failed = made ? 0 : static_cast<long>(GetLastError());
          return made ? std::make_unique<Win32JournalFile>(handle, narrow(file)) : nullptr;
        });
  }

  std::vector<std::string> names() const override {
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = base_.empty() ? INVALID_HANDLE_VALUE
                                        : FindFirstFileW((folder() + L"*.csv").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
      return found;
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        found.push_back(narrow(entry.cFileName));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end());
    return found;
  }

  // Shared for writing: the journal of a series under way can be read.
  std::optional<std::string> read(const std::string& name) const override {
    const HANDLE file = CreateFileW((folder() + widen(name)).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (base_.empty() || file == INVALID_HANDLE_VALUE)
      return std::nullopt;
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    bool whole = false;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      if (got == 0) {
        whole = true;
        break;
      }
      text.append(buffer, got);
    }
    CloseHandle(file);
    return whole ? std::optional(std::move(text)) : std::nullopt;
  }

private:
  std::wstring folder() const { return base_ + L"\\Obturix\\Journal\\"; }
  std::wstring base_;
};

} // namespace

std::shared_ptr<JournalFolder> makeUserJournalFolder() {
  return std::make_shared<Win32JournalFolder>();
}

} // namespace obturix
