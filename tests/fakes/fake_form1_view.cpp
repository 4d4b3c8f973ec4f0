#include "fakes/fake_form1_view.h"

#include <stdexcept>

namespace obturix::testing {

namespace {

Control of(Control control, ControlKind kind) {
  if (entryOf(control).kind != kind)
    throw std::logic_error(std::string(entryOf(control).name) + " is not of that kind");
  return control;
}

} // namespace

FakeForm1View::FakeForm1View(EventLog& log) : boxes(log), progress(log), log_(log) {
  for (const ControlEntry& entry : mainWindowControls()) {
    texts_[indexOf(entry.control)] = entry.caption;
    checked_[indexOf(entry.control)] = entry.checked;
    enabled_[indexOf(entry.control)] = true;
  }
}

std::string FakeForm1View::text(Control textBox) const {
  return texts_[indexOf(of(textBox, ControlKind::TextBox))];
}

void FakeForm1View::setText(Control textBox, const std::string& text) {
  texts_[indexOf(of(textBox, ControlKind::TextBox))] = text;
}

bool FakeForm1View::isChecked(Control checkBox) const {
  return checked_[indexOf(of(checkBox, ControlKind::CheckBox))];
}

void FakeForm1View::setChecked(Control checkBox, bool checked) {
  checked_[indexOf(of(checkBox, ControlKind::CheckBox))] = checked;
}

void FakeForm1View::setEnabled(Control textBox, bool enabled) {
  enabled_[indexOf(of(textBox, ControlKind::TextBox))] = enabled;
}

void FakeForm1View::setCaption(Control label, const std::string& caption) {
  texts_[indexOf(of(label, ControlKind::Label))] = caption;
  log_.add(std::string(entryOf(label).name) + " " + caption);
}

void FakeForm1View::repaint() { log_.add("repaint"); }

void FakeForm1View::repaint(Control control) {
  log_.add("repaint " + std::string(entryOf(control).name));
}

void FakeForm1View::hide() { log_.add("hide"); }

} // namespace obturix::testing
