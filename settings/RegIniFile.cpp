#include "settings/RegIniFile.h"

namespace pallowin {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const bool hex = i < text.size() && text[i] == '$';
    if (hex) ++i;
    if (i == text.size()) return std::nullopt;

    // Decimal: the magnitude may reach 2^31 for a negative number only.
    // Hexadecimal: any 32-bit pattern.
    const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (0u - static_cast<std::uint32_t>(magnitude))
                                                          : static_cast<std::uint32_t>(magnitude));
    return static_cast<std::int32_t>(bits);
}

std::int32_t TRegIniFile::ReadInteger(const char* section, const char* name,
                                      std::int32_t defaultValue) {
    const auto stored = key_.ReadString(section, name);
    if (!stored) return defaultValue;
    std::string text = *stored;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    return ParseWholeNumber(text).value_or(defaultValue);
}

bool TRegIniFile::ReadBool(const char* section, const char* name, bool defaultValue) {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

std::string TRegIniFile::ReadString(const char* section, const char* name,
                                    const std::string& defaultValue) {
    return key_.ReadString(section, name).value_or(defaultValue);
}

bool TRegIniFile::WriteInteger(const char* section, const char* name, std::int32_t value) {
    return key_.WriteString(section, name, std::to_string(value));
}

bool TRegIniFile::WriteBool(const char* section, const char* name, bool value) {
    return key_.WriteString(section, name, value ? "1" : "0");
}

}  // namespace pallowin
