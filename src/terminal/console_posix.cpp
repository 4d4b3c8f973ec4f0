#include "files/user_files_posix.h"
#include "terminal/console_output.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace obturix {

namespace {

class PosixOutput final : public ConsoleOutput {
public:
  explicit PosixOutput(int fd) : fd_(fd), terminal_(isatty(fd) == 1) {
    // A reader gone (a pipe closed) is an error to the writer, not its end.
    std::signal(SIGPIPE, SIG_IGN);
  }
  bool isTerminal() const override { return terminal_; }
  int columns() const override {
    winsize size{};
    return terminal_ && ioctl(fd_, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
  }
  bool showsColours() const override {
    const char* term = std::getenv("TERM");
    return terminal_ && term && std::strcmp(term, "dumb") != 0;
  }
  bool write(const std::string& text) override { return writeAll(fd_, text); }

private:
  int fd_;
  bool terminal_;
};

} // namespace

std::unique_ptr<ConsoleOutput> makeStandardOutput(bool error) {
  return std::make_unique<PosixOutput>(error ? STDERR_FILENO : STDOUT_FILENO);
}

} // namespace obturix
