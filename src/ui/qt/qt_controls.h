#pragma once

class QWidget;

namespace obturix {

// Creates the main window's 21 controls on `window`, in table order, named
// as in the table, at their positions, with their captions, alignments,
// focus order and the counter's appearance; sizes the client area.
void createMainWindowControls(QWidget& window);

} // namespace obturix
