// The settings key read and written like an INI file: sections are subkeys
// and every value is a string, converted on the way in and out.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace pallowin {

// A whole 32-bit number: leading spaces, an optional sign, decimal digits or
// "$" and hexadecimal digits (up to 32 bits, taken as the bit pattern), and
// nothing after. nullopt for anything else, including the empty text and a
// decimal number outside the 32-bit range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

class TRegIniFile {
public:
    explicit TRegIniFile(platform::SettingsKey& key) : key_(key) {}

    // The default when the value is missing, not a string, or not a whole
    // number. "0x..." texts are hexadecimal.
    std::int32_t ReadInteger(const char* section, const char* name, std::int32_t defaultValue);
    // Any whole number but 0 is true.
    bool ReadBool(const char* section, const char* name, bool defaultValue);
    std::string ReadString(const char* section, const char* name, const std::string& defaultValue);

    // Plain decimal; "1" or "0". Answer false when the write failed.
    bool WriteInteger(const char* section, const char* name, std::int32_t value);
    bool WriteBool(const char* section, const char* name, bool value);

private:
    platform::SettingsKey& key_;
};

}  // namespace pallowin
