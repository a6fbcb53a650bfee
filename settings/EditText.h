// Text helpers of the settings dialog: Shift-JIS to UTF-16, the integer
// conversion of an edit's text, and the dialog's two message boxes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pallowin {

// A code page 932 text as UTF-16, whatever the system code page is.
std::wstring FromShiftJis(const char* text);

// Leading blanks, then an optional sign and decimal digits, or "$" and
// hexadecimal digits, and nothing after them; nullopt for anything else and
// for a value outside the 32-bit range.
std::optional<std::int32_t> TextToInt(std::wstring_view text);

std::wstring DecimalText(std::int64_t value);

// "無効な数値です。" with an OK button.
void ShowInvalidNumber(HWND owner);
// "'%s' は整数ではありません" naming the text that does not convert.
void ShowNotAnInteger(HWND owner, const std::wstring& text);

}  // namespace pallowin
