#include "drawing/HeaderFields.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Failures.h"

namespace pallowin {

namespace {

// The number part of a field: a NUL ends it early.
std::string_view UpToNul(std::string_view field) {
    return field.substr(0, field.find('\0'));
}

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void ConversionFails(std::string_view field, std::string_view what, const char* kind) {
    throw EConvertError("'" + PrintableField(field) + "' is not a valid " + kind + " for the " +
                        std::string(what));
}

}  // namespace

std::string PrintableField(std::string_view field) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : field) {
        if (c < 0x20 || c == 0x7F || c == '\\') {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string_view HeaderField(ByteSpan file, std::size_t first, std::size_t last) {
    return {reinterpret_cast<const char*>(file.data()) + (first - 1), last - first + 1};
}

std::string_view NextField(std::string_view& window) {
    std::size_t comma = window.find(',');
    if (comma == std::string_view::npos) return {};
    std::string_view field = window.substr(0, comma);
    window.remove_prefix(comma + 1);
    return field;
}

std::string_view LastField(std::string_view& window) {
    if (window.find(',') != std::string_view::npos) return NextField(window);
    std::size_t nul = window.find('\0');
    if (nul == std::string_view::npos) return {};
    return window.substr(0, nul);
}

std::int32_t ConvertInteger(std::string_view field, std::string_view what) {
    std::string_view text = UpToNul(field);
    std::size_t i = SkipSpaces(text, 0);
    std::int64_t value = 0;
    bool anyDigit = false;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    if (i < text.size() && text[i] == '$') {
        for (++i; i < text.size(); ++i) {
            int digit = HexValue(text[i]);
            if (digit < 0) ConversionFails(field, what, "integer");
            value = value * 16 + digit;
            if (value >= limit) ConversionFails(field, what, "integer");
            anyDigit = true;
        }
    } else {
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        for (; i < text.size(); ++i) {
            if (!IsDigit(text[i])) ConversionFails(field, what, "integer");
            value = value * 10 + (text[i] - '0');
            if (value > limit) ConversionFails(field, what, "integer");
            anyDigit = true;
        }
        if (negative) value = -value;
        if (value >= limit) ConversionFails(field, what, "integer");
    }
    if (!anyDigit) ConversionFails(field, what, "integer");
    return static_cast<std::int32_t>(value);
}

float ConvertDecimal(std::string_view field, std::string_view what) {
    std::string_view text = UpToNul(field);
    std::size_t i = SkipSpaces(text, 0);
    std::size_t numberStart = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) ConversionFails(field, what, "number");
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) ConversionFails(field, what, "number");
    }
    std::size_t numberEnd = i;
    if (SkipSpaces(text, i) != text.size()) ConversionFails(field, what, "number");

    // from_chars takes no leading "+" and ignores the locale. A value beyond
    // double range is far beyond single precision too.
    double magnitude = 0;
    auto [end, error] = std::from_chars(text.data() + mantissaStart, text.data() + numberEnd, magnitude);
    if (error != std::errc{} || end != text.data() + numberEnd) ConversionFails(field, what, "number");
    double value = text[numberStart] == '-' ? -magnitude : magnitude;
    if (std::fabs(value) > std::numeric_limits<float>::max()) ConversionFails(field, what, "number");
    return static_cast<float>(value);
}

std::int32_t ParseHexField(std::string_view field, std::string_view what) {
    std::string text = "$";
    if (field.size() > 5) text += field.substr(5, 4);
    return ConvertInteger(text, what);
}

}  // namespace pallowin
