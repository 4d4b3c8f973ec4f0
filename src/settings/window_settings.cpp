#include "settings/window_settings.h"

#include "exposure/decimal.h"

#include <array>

namespace obturix {

namespace {

constexpr std::array<WindowSetting, 7> settings = {{
    {"Text1", "nbpause"},
    {"Text2", "tmppause"},
    {"Text3", "intervalle"},
    {"ChkMiro", "Relever"},
    {"Text5", "StrCom"},
    {"Text6", "lngSleppav"},
    {"Text7", "lngSleppap"},
}};

} // namespace

std::span<const WindowSetting> windowSettings() { return settings; }

bool isCheckedState(const std::string& stored) { return isDecimalEqualTo(stored, 1); }

} // namespace obturix
