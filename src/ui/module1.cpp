#include "ui/module1.h"

#include "ui/form1.h"

namespace obturix {

void Main(Module1& module) {
  auto form = std::make_unique<Form1>(module.cycle, module.boxes, module.settings);
  module.boxes.setParentWindow(form.get());
  form->exec();
  [[maybe_unused]] const bool cancelled = form->annulation(); // the process ends whatever it holds
  module.boxes.setParentWindow(nullptr);
  form.reset();
}

} // namespace obturix
