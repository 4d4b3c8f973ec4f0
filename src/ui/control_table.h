#pragma once

#include <span>
#include <string_view>

namespace obturix {

enum class ControlKind { Label, TextBox, Frame, PushButton, CheckBox };

// One control of the main window. Positions and sizes are in twips, from the
// outer top-left corner of the container (the window's client area or a frame).
struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  std::string_view container; // "Form1", "Frame1" or "Frame2"
  std::string_view caption;   // UTF-8
  int left, top, width, height;
  int tabOrder;
};

inline constexpr int twipsPerPixel = 15;

// The 21 controls of the main window, in the order they are created.
std::span<const ControlSpec> mainWindowControls();

} // namespace obturix
