// The user's settings: one record for the DLL's lifetime, loaded from and
// saved to the registry by the plug-in body.
#pragma once
#include <cstdint>

namespace pallowin {

enum TColorIndex { ciBack = 0, ciLine1 = 1, ciText = 7, ColorCount = 8 };

struct TPluginSettings {
    std::int32_t Colors[ColorCount];  // 0x00BBGGRR; 0 Back, 1-6 Line1-Line6, 7 Text
    bool ViewMode;                    // honour the drawing's layer visibility
    bool BakMode;                     // refuse *.BAK files in the file check
    bool TextMode;                    // stored only
    std::int32_t JWC_W, JWC_H;        // drawing picture size
    std::int32_t JWK_W, JWK_H;        // figure picture size
    std::int32_t THU_W, THU_H;        // stored only, always 113 x 81
};

constexpr std::int32_t DefaultColors[ColorCount] = {
    0, 16776960, 16777215, 65280, 65535, 16711935, 16711680, 255,
};

constexpr TPluginSettings DefaultSettings = {
    {0, 16776960, 16777215, 65280, 65535, 16711935, 16711680, 255},
    false, false, true, 518, 366, 100, 100, 113, 81,
};

// The one instance, read by every call.
extern TPluginSettings PluginSettings;

}  // namespace pallowin
