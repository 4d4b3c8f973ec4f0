#include "window/control_table.h"

#include <algorithm>
#include <array>

namespace obturix {

namespace {

using enum Control;
using enum ControlKind;
using enum Alignment;

// clang-format off
constexpr std::array<ControlEntry, controlCount> controls = {{
    {.control = ChkAffichePoppup, .name = "ChkAffichePoppup", .kind = CheckBox, .caption = "Confirmer debut et fin de pause ?", .at = {330, 1875, 5190, 285}, .tabOrder = 20, .checked = true},
    {.control = Frame2, .name = "Frame2", .kind = Frame, .caption = "Paramètre du port ", .at = {180, 4320, 6210, 1500}, .tabOrder = 11},
    {.control = ChkMiro, .name = "ChkMiro", .kind = CheckBox, .frame = Frame2, .caption = "Relever le miroir ?", .at = {570, 285, 5430, 360}, .tabOrder = 17},
    {.control = Text7, .name = "Text7", .kind = TextBox, .frame = Frame2, .caption = "1", .at = {4470, 1035, 1455, 315}, .tabOrder = 15, .labelledBy = Label8},
    {.control = Text6, .name = "Text6", .kind = TextBox, .frame = Frame2, .caption = "0.08", .at = {4470, 690, 1455, 315}, .tabOrder = 13, .labelledBy = Label7},
    {.control = Label8, .name = "Label8", .kind = Label, .frame = Frame2, .caption = "Intervalle entre vérouillage miroir et début de pause :", .at = {240, 1065, 4095, 255}, .tabOrder = 14, .alignment = Right},
    {.control = Label7, .name = "Label7", .kind = Label, .frame = Frame2, .caption = "Durée impulsion pour vérouillage miroir :", .at = {240, 735, 4095, 255}, .tabOrder = 12, .alignment = Right},
    {.control = Frame1, .name = "Frame1", .kind = Frame, .caption = "Paramètres de la série de pauses", .at = {180, 2250, 6210, 1920}, .tabOrder = 4},
    {.control = Text5, .name = "Text5", .kind = TextBox, .frame = Frame1, .caption = "COM1", .at = {4455, 225, 1455, 300}, .tabOrder = 18, .labelledBy = Label6},
    {.control = Text1, .name = "Text1", .kind = TextBox, .frame = Frame1, .caption = "1", .at = {4455, 690, 1455, 285}, .tabOrder = 7, .labelledBy = Label1},
    {.control = Text2, .name = "Text2", .kind = TextBox, .frame = Frame1, .caption = "1", .at = {4470, 1035, 1455, 270}, .tabOrder = 6, .labelledBy = Label2},
    {.control = Text3, .name = "Text3", .kind = TextBox, .frame = Frame1, .caption = "1", .at = {4470, 1350, 1455, 315}, .tabOrder = 5, .labelledBy = Label3},
    {.control = Label6, .name = "Label6", .kind = Label, .frame = Frame1, .caption = "Port : ", .at = {300, 285, 3855, 255}, .tabOrder = 19, .alignment = Right},
    {.control = Label1, .name = "Label1", .kind = Label, .frame = Frame1, .caption = "Nombre de pauses : ", .at = {240, 660, 4095, 330}, .tabOrder = 10, .alignment = Right},
    {.control = Label2, .name = "Label2", .kind = Label, .frame = Frame1, .caption = "Temps de pause :(en secondes)", .at = {240, 1050, 4095, 300}, .tabOrder = 9, .alignment = Right},
    {.control = Label3, .name = "Label3", .kind = Label, .frame = Frame1, .caption = "Intervalle entre les pauses : (en secondes)", .at = {255, 1425, 4095, 255}, .tabOrder = 8, .alignment = Right},
    {.control = Command2, .name = "Command2", .kind = PushButton, .caption = "Quitter", .at = {3720, 6120, 2730, 390}, .tabOrder = 2},
    {.control = Command1, .name = "Command1", .kind = PushButton, .caption = "Lancer ", .at = {180, 6105, 2490, 405}, .tabOrder = 1},
    {.control = LabEc, .name = "LabEc", .kind = Label, .caption = "0", .at = {330, 390, 1215, 480}, .tabOrder = 16, .alignment = Centre, .counterLook = true, .labelledBy = Label5},
    {.control = Label5, .name = "Label5", .kind = Label, .caption = "Pause en cours", .at = {180, 90, 1560, 1080}, .tabOrder = 3, .alignment = Centre},
    {.control = Label4, .name = "Label4", .kind = Label, .caption = "Label4", .at = {1950, 75, 4440, 1695}, .tabOrder = 0},
}};
// clang-format on

// Each row sits at its control's index, so a look-up is an index.
constexpr bool rowsFollowTheEnum() {
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (indexOf(controls[i].control) != i)
      return false;
  return true;
}
static_assert(rowsFollowTheEnum());

} // namespace

std::span<const ControlEntry, controlCount> mainWindowControls() { return controls; }

const ControlEntry& entryOf(Control control) { return controls[indexOf(control)]; }

std::vector<Control> focusOrder() {
  std::vector<const ControlEntry*> focusable;
  for (const ControlEntry& entry : controls)
    if (entry.kind != Label && entry.kind != Frame)
      focusable.push_back(&entry);
  std::sort(focusable.begin(), focusable.end(),
            [](const ControlEntry* a, const ControlEntry* b) { return a->tabOrder < b->tabOrder; });
  std::vector<Control> order;
  for (const ControlEntry* entry : focusable)
    order.push_back(entry->control);
  return order;
}

} // namespace obturix
