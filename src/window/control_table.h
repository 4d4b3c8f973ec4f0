#pragma once

#include "window/control.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace obturix {

enum class ControlKind { Label, TextBox, Frame, PushButton, CheckBox };
enum class Alignment { Left, Right, Centre };

// A rectangle in twips, from the outer top-left corner of the container (the
// window's client area or a frame).
struct TwipsRect {
  int left, top, width, height;
};

// Everything about one control of the main window.
struct ControlEntry {
  Control control;
  std::string_view name; // the designer's name, as object and accessibility id
  ControlKind kind;
  std::optional<Control> frame = std::nullopt; // the frame that holds it; none: the client area
  std::string_view caption;                    // UTF-8; a text box's initial text
  TwipsRect at;
  int tabOrder;
  Alignment alignment = Alignment::Left; // of a label's text
  bool checked = false;                  // the state a check box starts in
  bool counterLook = false;              // sunken, bold 18 pt, on the highlighted-text colour
  std::optional<Control> labelledBy =
      std::nullopt; // the label whose caption names it for screen readers
};

inline constexpr std::string_view windowCaption = "Obturix";
inline constexpr int clientWidthTwips = 6525;
inline constexpr int clientHeightTwips = 6630;
inline constexpr int twipsPerPixel = 15; // at 96 dots per inch

// The 21 controls of the main window, in the order they are created.
std::span<const ControlEntry, controlCount> mainWindowControls();

const ControlEntry& entryOf(Control control);

// The controls that can take the focus (neither labels nor frames), in the
// order Tab walks them.
std::vector<Control> focusOrder();

} // namespace obturix
