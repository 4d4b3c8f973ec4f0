#pragma once

#include "fakes/fake_platform.h"
#include "window/control_table.h"
#include "window/form1_view.h"

#include <array>
#include <utility>
#include <vector>

namespace obturix::testing {

// The window as the behaviour sees it: each control's text or caption and
// state, from the control table at first. Logs caption changes ("LabEc 2"),
// repaints ("repaint", "repaint LabEc"), "hide" and what it is told at once
// ("notice TEXT"); an operation used on a control of another kind throws.
class FakeForm1View final : public Form1View {
public:
  explicit FakeForm1View(EventLog& log);

  std::string text(Control textBox) const override;
  void setText(Control textBox, const std::string& text) override;
  bool isChecked(Control checkBox) const override;
  void setChecked(Control checkBox, bool checked) override;
  void setEnabled(Control textBox, bool enabled) override;
  void setCaption(Control label, const std::string& caption) override;
  void setToolTip(Control control, const std::string& text) override {
    toolTips.emplace_back(entryOf(control).name, text);
  }
  void repaint() override;
  void repaint(Control control) override;
  void hide() override;
  MessageBoxes& messageBoxes() override { return boxes; }
  TaskbarProgress& taskbarProgress() override { return progress; }
  void tellAtOnce(const std::string& text) override { log_.add("notice " + text); }
  // On this thread; the window's tasks run at once.
  void runHoldingInput(const std::function<void(const HandOver&)>& cycles) override {
    cycles([](const std::function<void()>& task) { task(); });
  }

  // What the window shows: a text box's text, a label's caption.
  const std::string& shown(Control control) const { return texts_[indexOf(control)]; }
  bool isEnabled(Control control) const { return enabled_[indexOf(control)]; }

  FakeMessageBoxes boxes;
  FakeTaskbarProgress progress;
  std::vector<std::pair<std::string, std::string>> toolTips; // control, text: each one set

private:
  EventLog& log_;
  std::array<std::string, controlCount> texts_;
  std::array<bool, controlCount> checked_{};
  std::array<bool, controlCount> enabled_{};
};

} // namespace obturix::testing
