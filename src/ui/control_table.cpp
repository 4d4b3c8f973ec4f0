#include "ui/control_table.h"

#include <array>

namespace obturix {

namespace {

using enum ControlKind;

constexpr std::array<ControlSpec, 21> controls = {{
    {"ChkAffichePoppup", CheckBox, "Form1", "Confirmer debut et fin de pause ?", 330, 1875, 5190,
     285, 20},
    {"Frame2", Frame, "Form1", "Paramètre du port ", 180, 4320, 6210, 1500, 11},
    {"ChkMiro", CheckBox, "Frame2", "Relever le miroir ?", 570, 285, 5430, 360, 17},
    {"Text7", TextBox, "Frame2", "1", 4470, 1035, 1455, 315, 15},
    {"Text6", TextBox, "Frame2", "0.08", 4470, 690, 1455, 315, 13},
    {"Label8", Label, "Frame2", "Intervalle entre vérouillage miroir et début de pause :", 240,
     1065, 4095, 255, 14},
    {"Label7", Label, "Frame2", "Durée impulsion pour vérouillage miroir :", 240, 735, 4095, 255,
     12},
    {"Frame1", Frame, "Form1", "Paramètres de la série de pauses", 180, 2250, 6210, 1920, 4},
    {"Text5", TextBox, "Frame1", "COM1", 4455, 225, 1455, 300, 18},
    {"Text1", TextBox, "Frame1", "1", 4455, 690, 1455, 285, 7},
    {"Text2", TextBox, "Frame1", "1", 4470, 1035, 1455, 270, 6},
    {"Text3", TextBox, "Frame1", "1", 4470, 1350, 1455, 315, 5},
    {"Label6", Label, "Frame1", "Port : ", 300, 285, 3855, 255, 19},
    {"Label1", Label, "Frame1", "Nombre de pauses : ", 240, 660, 4095, 330, 10},
    {"Label2", Label, "Frame1", "Temps de pause :(en secondes)", 240, 1050, 4095, 300, 9},
    {"Label3", Label, "Frame1", "Intervalle entre les pauses : (en secondes)", 255, 1425, 4095, 255,
     8},
    {"Command2", PushButton, "Form1", "Quitter", 3720, 6120, 2730, 390, 2},
    {"Command1", PushButton, "Form1", "Lancer ", 180, 6105, 2490, 405, 1},
    {"LabEc", Label, "Form1", "0", 330, 390, 1215, 480, 16},
    {"Label5", Label, "Form1", "Pause en cours", 180, 90, 1560, 1080, 3},
    {"Label4", Label, "Form1", "Label4", 1950, 75, 4440, 1695, 0},
}};

} // namespace

std::span<const ControlSpec> mainWindowControls() { return controls; }

} // namespace obturix
