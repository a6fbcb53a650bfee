// Loading and saving TPluginSettings in the settings key. The forms without
// a key open it themselves; with no key (it can be neither opened nor
// created), loading leaves the defaults and saving writes nothing.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Platform.h"
#include "settings/PluginSettings.h"

namespace pallowin {

// Fills every field (defaults where the store has nothing usable) and answers
// the stored settings version. Never throws.
std::int32_t LoadSettingsFromStore(TPluginSettings& settings) noexcept;
std::int32_t LoadSettingsFromStore(platform::SettingsKey* key, TPluginSettings& settings) noexcept;

// Writes all 18 values; a failed write does not stop the others. Never throws.
void SaveSettingsToStore(const TPluginSettings& settings) noexcept;
void SaveSettingsToStore(platform::SettingsKey* key, const TPluginSettings& settings) noexcept;

// The settings version every save writes.
constexpr std::int32_t CurrentSettingsVersion = 104;

// An old scale factor such as "1.00" or "0,75", as the nearest 32-bit float.
// Both a full stop and the given separator are decimal separators.
std::optional<float> ParseScaleFactor(std::string_view text, char localeSeparator);

}  // namespace pallowin
