#pragma once

#include "desktop/taskbar_progress.h"

#include <windows.h>

#include <memory>
#include <string>

namespace obturix {

// The calls of the shell's ITaskbarList3 that show progress on a window's
// task bar button. States: TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_ERROR.
class TaskbarButton {
public:
  virtual ~TaskbarButton() = default;
  virtual void setState(int state) = 0;
  virtual void setValue(std::uint64_t done, std::uint64_t total) = 0;
  // The thumbnail's tooltip; the window's title when empty.
  virtual void setTooltip(const std::wstring& text) = 0;
};

// The task bar button of `window`; nullptr where the shell has none.
std::unique_ptr<TaskbarButton> makeTaskbarButton(HWND window);

// The progress on a task bar button: normal, or the error state once a
// press has failed, its thumbnail telling the time left; none once cleared.
class Win32TaskbarProgress final : public TaskbarProgress {
public:
  explicit Win32TaskbarProgress(std::unique_ptr<TaskbarButton> button)
      : button_(std::move(button)) {}
  void show(const SeriesProgress& progress) override;
  void clear() override;

private:
  std::unique_ptr<TaskbarButton> button_;
};

} // namespace obturix
