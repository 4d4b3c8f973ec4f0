#pragma once

#include "fakes/fake_form1_view.h"
#include "fakes/fake_series_services.h"
#include "serial/port_words.h"
#include "series/series_words.h"
#include "window/form1.h"

namespace obturix::testing {

// The window's behaviour on a fake view and fake services.
struct Form1Rig : FakeSeriesServices {
  FakeForm1View view{log};
  Form1 form{view, services()};

  void type(Control textBox, const std::string& text) { view.setText(textBox, text); }
  // A click on the mirror box: it turns over, then the window reacts.
  void clickMirrorBox() {
    view.setChecked(Control::ChkMiro, !view.isChecked(Control::ChkMiro));
    form.MajMiroir();
  }
};

} // namespace obturix::testing
