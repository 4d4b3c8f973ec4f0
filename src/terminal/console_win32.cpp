#include "terminal/console_output.h"
#include "text/wide_text_win32.h"

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace obturix {

namespace {

// A console is written in UTF-16, whatever its code page; a file or a pipe
// gets the UTF-8 as it is.
class Win32Output final : public ConsoleOutput {
public:
  explicit Win32Output(DWORD which) : handle_(GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
    colours_ = console_ && ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
                            SetConsoleMode(handle_, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING));
  }
  bool isTerminal() const override { return console_; }
  int columns() const override {
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    return console_ && GetConsoleScreenBufferInfo(handle_, &screen)
               ? screen.srWindow.Right - screen.srWindow.Left + 1
               : 0;
  }
  bool showsColours() const override { return colours_; }
  bool write(const std::string& text) override {
    if (!handle_ || handle_ == INVALID_HANDLE_VALUE)
      return false;
    if (console_) {
      const std::wstring wide = widen(text);
      DWORD written = 0;
      return WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                           nullptr) != 0;
    }
    std::size_t done = 0;
    while (done < text.size()) {
      DWORD written = 0;
      if (!WriteFile(handle_, text.data() + done, static_cast<DWORD>(text.size() - done), &written,
                     nullptr) ||
          written == 0)
        return false;
      done += written;
    }
    return true;
  }

private:
  HANDLE handle_;
  bool console_ = false;
  bool colours_ = false;
};

} // namespace

std::unique_ptr<ConsoleOutput> makeStandardOutput(bool error) {
  return std::make_unique<Win32Output>(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

} // namespace obturix
