#include "desktop/taskbar_progress_win32.h"

#include "text/wide_text_win32.h"

#include <shobjidl.h>

namespace obturix {

namespace {

class ShellTaskbarButton final : public TaskbarButton {
public:
  ShellTaskbarButton(HWND window, ITaskbarList3* list) : window_(window), list_(list) {}
  ~ShellTaskbarButton() override {
    list_->Release();
    CoUninitialize();
  }
  ShellTaskbarButton(const ShellTaskbarButton&) = delete;
  ShellTaskbarButton& operator=(const ShellTaskbarButton&) = delete;

  void setState(int state) override {
    list_->SetProgressState(window_, static_cast<TBPFLAG>(state));
  }
  void setValue(std::uint64_t done, std::uint64_t total) override {
    list_->SetProgressValue(window_, done, total);
  }
  void setTooltip(const std::wstring& text) override {
    list_->SetThumbnailTooltip(window_, text.empty() ? nullptr : text.c_str());
  }

private:
  HWND window_;
  ITaskbarList3* list_;
};

} // namespace

std::unique_ptr<TaskbarButton> makeTaskbarButton(HWND window) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    return nullptr;
  ITaskbarList3* list = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(&list))) ||
      FAILED(list->HrInit())) {
    if (list)
      list->Release();
    CoUninitialize();
    return nullptr;
  }
  return std::make_unique<ShellTaskbarButton>(window, list);
}

void Win32TaskbarProgress::show(const SeriesProgress& progress) {
  if (!button_)
    return;
  button_->setState(progress.failing ? TBPF_ERROR : TBPF_NORMAL);
  button_->setValue(static_cast<std::uint64_t>(progress.done),
                    static_cast<std::uint64_t>(progress.total > 0 ? progress.total : 1));
  button_->setTooltip(widen(progress.note));
}

void Win32TaskbarProgress::clear() {
  if (!button_)
    return;
  button_->setState(TBPF_NOPROGRESS);
  button_->setTooltip(L"");
}

} // namespace obturix
