#include "terminal/console.h"

#include "terminal/console_output.h"
#include "threads/ordered_worker.h"

#include <atomic>
#include <cstdlib>

namespace obturix {

namespace {

// An output and whether it is still written to: a write that failed (the
// terminal hung up, the pipe's reader gone) closes it for good.
struct Output {
  explicit Output(bool error) : device(makeStandardOutput(error)) {}
  std::unique_ptr<ConsoleOutput> device;
  std::atomic<bool> open{true};
  void write(const std::string& text) {
    if (open && !device->write(text))
      open = false;
  }
};

struct Outputs {
  Output out{false};
  Output err{true};
  std::atomic<int> pending{0};
};

class QueuedConsole final : public Console {
public:
  bool isTerminal() const override {
    return outputs_->out.device->isTerminal() && outputs_->out.open;
  }
  int columns() const override { return isTerminal() ? outputs_->out.device->columns() : 0; }
  bool colours() const override {
    const char* noColour = std::getenv("NO_COLOR");
    return isTerminal() && outputs_->out.device->showsColours() && !(noColour && *noColour);
  }
  void out(const std::string& text) override { post(&Outputs::out, text); }
  void err(const std::string& text) override { post(&Outputs::err, text); }
  void terminalLost() override {
    for (Output* output : {&outputs_->out, &outputs_->err})
      if (output->device->isTerminal())
        output->open = false;
  }
  void flush(std::chrono::milliseconds deadline) override { writer_.waitIdle(deadline); }

private:
  // A terminal that does not read is given this much, then nothing more.
  void post(Output Outputs::*where, const std::string& text) {
    constexpr int mostPending = 256;
    if (outputs_->pending >= mostPending)
      return;
    ++outputs_->pending;
    writer_.post([outputs = outputs_, where, text] {
      (outputs.get()->*where).write(text);
      --outputs->pending;
    });
  }
  std::shared_ptr<Outputs> outputs_ = std::make_shared<Outputs>();
  OrderedWorker writer_;
};

} // namespace

std::unique_ptr<Console> makeSystemConsole() { return std::make_unique<QueuedConsole>(); }

} // namespace obturix
