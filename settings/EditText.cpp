#include "settings/EditText.h"

#include "settings/DialogTexts.h"

namespace pallowin {

std::wstring FromShiftJis(const char* text) {
    constexpr UINT ShiftJis = 932;
    const int length = MultiByteToWideChar(ShiftJis, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(ShiftJis, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::optional<std::int32_t> TextToInt(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    unsigned base = 10;
    if (i < text.size() && text[i] == L'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    // One past the largest magnitude, so that -2147483648 still fits.
    constexpr std::uint64_t limit = 0x80000000u;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F') digit = static_cast<unsigned>(c - L'A' + 10);
        else return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    if (negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    if (magnitude == limit) return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

std::wstring DecimalText(std::int64_t value) { return std::to_wstring(value); }

void ShowInvalidNumber(HWND owner) {
    MessageBoxW(owner, FromShiftJis(dialog_texts::InvalidNumber).c_str(),
                FromShiftJis(dialog_texts::MessageTitle).c_str(), MB_OK);
}

void ShowNotAnInteger(HWND owner, const std::wstring& text) {
    std::wstring message = FromShiftJis(dialog_texts::NotAnInteger);
    const auto at = message.find(L"%s");
    if (at != std::wstring::npos) message.replace(at, 2, text);
    MessageBoxW(owner, message.c_str(), FromShiftJis(dialog_texts::MessageTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

}  // namespace pallowin
