#include "window/window_settings.h"

#include "exposure/decimal.h"
#include "series/series_plan.h"

#include <array>

namespace obturix {

namespace {

using enum Control;
using enum SettingHolds;

// clang-format off
constexpr std::array<WindowSetting, 7> settings = {{
    {Text1,   Text,     "nbpause",    field_name::count},
    {Text2,   Text,     "tmppause",   field_name::exposure},
    {Text3,   Text,     "intervalle", field_name::interval},
    {ChkMiro, BoxState, "Relever",    field_name::mirror},
    {Text5,   Text,     "StrCom",     field_name::port},
    {Text6,   Text,     "lngSleppav", field_name::pulse},
    {Text7,   Text,     "lngSleppap", field_name::settle},
}};
// clang-format on

} // namespace

std::span<const WindowSetting> windowSettings() { return settings; }

bool isCheckedState(const std::string& stored) { return isDecimalEqualTo(stored, 1); }

} // namespace obturix
