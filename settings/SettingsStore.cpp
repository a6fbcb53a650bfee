#include "settings/SettingsStore.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <string>

#include "settings/RegIniFile.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace pallowin {

namespace {

constexpr const char* System = "System";
constexpr const char* Color = "Color";
constexpr const char* Image = "Image";

constexpr const char* ColorNames[ColorCount] = {
    "Back", "Line1", "Line2", "Line3", "Line4", "Line5", "Line6", "Text",
};

constexpr std::int32_t NominalDrawingWidth = 518, NominalDrawingHeight = 366;
constexpr std::int32_t NominalFigureSize = 100;
constexpr std::int32_t ThumbnailWidth = 113, ThumbnailHeight = 81;

char LocaleDecimalSeparator() {
#if defined(_WIN32)
    char text[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text) > 1) return text[0];
#endif
    return '.';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// factor x nominal, rounded half to even; nullopt when it leaves the 32-bit
// range. The product of a float and a small integer is exact in a double.
std::optional<std::int32_t> ScaledSize(float factor, std::int32_t nominal) {
    const double product = static_cast<double>(factor) * nominal;
    if (!std::isfinite(product)) return std::nullopt;
    double rounded = std::floor(product);
    const double fraction = product - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

// Version-0 settings kept one scale factor per file kind instead of sizes.
// A factor that does not convert, or a size that would not fit, gives the
// field its default.
void MigrateScale(TRegIniFile& ini, const char* name, char separator, std::int32_t nominalW,
                  std::int32_t nominalH, std::int32_t& width, std::int32_t& height,
                  std::int32_t defaultW, std::int32_t defaultH) {
    const auto factor = ParseScaleFactor(ini.ReadString(Image, name, "1.00"), separator);
    const auto w = factor ? ScaledSize(*factor, nominalW) : std::nullopt;
    const auto h = factor ? ScaledSize(*factor, nominalH) : std::nullopt;
    width = w.value_or(defaultW);
    height = h.value_or(defaultH);
}

}  // namespace

std::optional<float> ParseScaleFactor(std::string_view text, char localeSeparator) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

    // Rewritten with a full stop, so the conversion never consults a locale.
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
    if (i < text.size() && (text[i] == '.' || text[i] == localeSeparator)) {
        plain += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        std::size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) plain += text[i];
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    // Converted in extended precision, then rounded to the stored float, as
    // the factors were always read.
    long double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return static_cast<float>(value);
}

std::int32_t LoadSettingsFromStore(platform::SettingsKey* key, TPluginSettings& settings) noexcept {
    settings = DefaultSettings;
    std::int32_t version = 0;
    if (key) {
        try {
            TRegIniFile ini(*key);
            const TPluginSettings& d = DefaultSettings;
            version = ini.ReadInteger(System, "Version", 0);
            settings.JWC_W = ini.ReadInteger(System, "JWC_W", d.JWC_W);
            settings.JWC_H = ini.ReadInteger(System, "JWC_H", d.JWC_H);
            settings.JWK_W = ini.ReadInteger(System, "JWK_W", d.JWK_W);
            settings.JWK_H = ini.ReadInteger(System, "JWK_H", d.JWK_H);
            settings.THU_W = ini.ReadInteger(System, "THU_W", d.THU_W);
            settings.THU_H = ini.ReadInteger(System, "THU_H", d.THU_H);
            for (int c = 0; c < ColorCount; ++c) {
                settings.Colors[c] = ini.ReadInteger(Color, ColorNames[c], d.Colors[c]);
            }
            settings.ViewMode = ini.ReadBool(Image, "ViewMode", d.ViewMode);
            settings.BakMode = ini.ReadBool(Image, "BakMode", d.BakMode);
            settings.TextMode = ini.ReadBool(Image, "TextMode", d.TextMode);
            if (version == 0) {
                const char separator = LocaleDecimalSeparator();
                MigrateScale(ini, "NormalSize", separator, NominalDrawingWidth,
                             NominalDrawingHeight, settings.JWC_W, settings.JWC_H, d.JWC_W,
                             d.JWC_H);
                MigrateScale(ini, "jwkSize", separator, NominalFigureSize, NominalFigureSize,
                             settings.JWK_W, settings.JWK_H, d.JWK_W, d.JWK_H);
            }
        } catch (...) {
            // Only running out of memory gets here: start from the defaults
            // rather than from half a load.
            settings = DefaultSettings;
            version = 0;
        }
    }
    settings.THU_W = ThumbnailWidth;
    settings.THU_H = ThumbnailHeight;
    return version;
}

std::int32_t LoadSettingsFromStore(TPluginSettings& settings) noexcept {
    std::unique_ptr<platform::SettingsKey> key;
    try {
        key = platform::OpenSettingsKey();
    } catch (...) {
    }
    return LoadSettingsFromStore(key.get(), settings);
}

void SaveSettingsToStore(platform::SettingsKey* key, const TPluginSettings& settings) noexcept {
    if (!key) return;
    // Each write stands alone: one that fails must not keep the rest from
    // the registry.
    TRegIniFile ini(*key);
    auto writeInteger = [&](const char* section, const char* name, std::int32_t value) {
        try {
            ini.WriteInteger(section, name, value);
        } catch (...) {
        }
    };
    auto writeBool = [&](const char* section, const char* name, bool value) {
        try {
            ini.WriteBool(section, name, value);
        } catch (...) {
        }
    };
    writeInteger(System, "Version", CurrentSettingsVersion);
    writeInteger(System, "JWC_W", settings.JWC_W);
    writeInteger(System, "JWC_H", settings.JWC_H);
    writeInteger(System, "JWK_W", settings.JWK_W);
    writeInteger(System, "JWK_H", settings.JWK_H);
    writeInteger(System, "THU_W", ThumbnailWidth);
    writeInteger(System, "THU_H", ThumbnailHeight);
    for (int c = 0; c < ColorCount; ++c) writeInteger(Color, ColorNames[c], settings.Colors[c]);
    writeBool(Image, "ViewMode", settings.ViewMode);
    writeBool(Image, "BakMode", settings.BakMode);
    writeBool(Image, "TextMode", settings.TextMode);
}

void SaveSettingsToStore(const TPluginSettings& settings) noexcept {
    try {
        SaveSettingsToStore(platform::OpenSettingsKey().get(), settings);
    } catch (...) {
    }
}

}  // namespace pallowin
