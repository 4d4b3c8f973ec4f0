#pragma once

#include <cstddef>

namespace obturix {

// The main window's controls, in the order they are created.
enum class Control {
  ChkAffichePoppup,
  Frame2,
  ChkMiro,
  Text7,
  Text6,
  Label8,
  Label7,
  Frame1,
  Text5,
  Text1,
  Text2,
  Text3,
  Label6,
  Label1,
  Label2,
  Label3,
  Command2,
  Command1,
  LabEc,
  Label5,
  Label4,
};

inline constexpr std::size_t controlCount = 21;

constexpr std::size_t indexOf(Control control) { return static_cast<std::size_t>(control); }

} // namespace obturix
