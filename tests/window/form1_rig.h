#pragma once

#include "exposure/exposure_cycle.h"
#include "fakes/fake_form1_view.h"
#include "platform/memory_registry.h"
#include "settings/registry_store.h"
#include "window/form1.h"

namespace obturix::testing {

// The window's behaviour on a fake view, fake ports, a fake clock and an
// in-memory registry.
struct Form1Rig {
  EventLog log;
  FakeClock clock;
  FakeSleeper sleeper{log, clock};
  FakeSerialPortServiceFactory ports{log};
  FakePortCheck portCheck{ports.existingPorts};
  ExposureCycle cycle{ports, sleeper};
  MemoryRegistry registry;
  RegistrySettingsStore settings{registry};
  FakeForm1View view{log};
  Form1 form{view, cycle, portCheck, settings};

  void type(Control textBox, const std::string& text) { view.setText(textBox, text); }
  // A click on the mirror box: it turns over, then the window reacts.
  void clickMirrorBox() {
    view.setChecked(Control::ChkMiro, !view.isChecked(Control::ChkMiro));
    form.MajMiroir();
  }
};

} // namespace obturix::testing
