#include "window/window_settings.h"

#include "exposure/decimal.h"

#include <array>

namespace obturix {

namespace {

using enum Control;
using enum SettingHolds;

// clang-format off
constexpr std::array<WindowSetting, 7> settings = {{
    {Text1,   Text,     "nbpause",    "le nombre de pauses"},
    {Text2,   Text,     "tmppause",   "le temps de pause"},
    {Text3,   Text,     "intervalle", "l'intervalle entre les pauses"},
    {ChkMiro, BoxState, "Relever",    "le choix de relever le miroir"},
    {Text5,   Text,     "StrCom",     "le port"},
    {Text6,   Text,     "lngSleppav", "la durée de l'impulsion du miroir"},
    {Text7,   Text,     "lngSleppap", "l'intervalle entre le miroir et la pause"},
}};
// clang-format on

} // namespace

std::span<const WindowSetting> windowSettings() { return settings; }

bool isCheckedState(const std::string& stored) { return isDecimalEqualTo(stored, 1); }

} // namespace obturix
