#include "desktop/taskbar_progress_win32.h"

#include <gtest/gtest.h>

#include <shobjidl.h>

#include <string>
#include <vector>

namespace obturix {
namespace {

// Normal while the series runs, the error state once a press failed, none
// once cleared, the thumbnail telling what the counter does: the calls
// ITaskbarList3 gets.
TEST(Win32TaskbarProgress, ShowsTheSeriesOnTheTaskbarButton) {
  struct Button final : TaskbarButton {
    explicit Button(std::vector<std::string>& calls) : calls_(calls) {}
    void setState(int state) override { calls_.push_back("state " + std::to_string(state)); }
    void setValue(std::uint64_t done, std::uint64_t total) override {
      calls_.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
    void setTooltip(const std::wstring& text) override {
      calls_.push_back("tooltip " + std::to_string(text.size()));
    }
    std::vector<std::string>& calls_;
  };
  std::vector<std::string> calls;
  Win32TaskbarProgress progress(std::make_unique<Button>(calls));
  progress.show({.done = 1, .total = 5, .current = 2, .failing = false, .note = "Pose 2 sur 5"});
  progress.show({.done = 5, .total = 5, .current = 0, .failing = true, .note = ""});
  progress.clear();
  const auto state = [](int flag) { return "state " + std::to_string(flag); };
  EXPECT_EQ(calls,
            (std::vector<std::string>{state(TBPF_NORMAL), "1/5", "tooltip 12", state(TBPF_ERROR),
                                      "5/5", "tooltip 0", state(TBPF_NOPROGRESS), "tooltip 0"}));
}

} // namespace
} // namespace obturix
