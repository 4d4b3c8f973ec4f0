#include "window/window_settings.h"

#include "exposure/decimal.h"

#include <array>

namespace obturix {

namespace {

using enum Control;
using enum SettingHolds;

// clang-format off
constexpr std::array<WindowSetting, 7> settings = {{
    {Text1,   Text,     "nbpause"},
    {Text2,   Text,     "tmppause"},
    {Text3,   Text,     "intervalle"},
    {ChkMiro, BoxState, "Relever"},
    {Text5,   Text,     "StrCom"},
    {Text6,   Text,     "lngSleppav"},
    {Text7,   Text,     "lngSleppap"},
}};
// clang-format on

} // namespace

std::span<const WindowSetting> windowSettings() { return settings; }

bool isCheckedState(const std::string& stored) { return isDecimalEqualTo(stored, 1); }

} // namespace obturix
