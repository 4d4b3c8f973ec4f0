#pragma once

#include "app/series_module.h"
#include "window/form1.h"

#include <memory>
#include <utility>

namespace obturix {

// The window program's module: what runs a series, for the window.
struct Module1 : SeriesModule {
  Form1Services services() { return {series(), settings}; }
};

// Start-up, whatever the toolkit's Window: creates the main window (with
// what that toolkit's window takes besides), shows it modally with no owner,
// reads `annulation` once the window is hidden or closed, and drops the
// window; the process then ends.
template <class Window, class... ViewArguments>
void Main(Module1& module, ViewArguments&&... viewArguments) {
  auto form =
      std::make_unique<Window>(module.services(), std::forward<ViewArguments>(viewArguments)...);
  form->showModally();
  [[maybe_unused]] const bool cancelled = form->behaviour().annulation(); // ends whatever it holds
  form.reset();
}

} // namespace obturix
