// The text fields of a file header and their number syntax. The header block
// is handled byte by byte as a string; fields are cut by 1-based character
// position and split at commas.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "drawing/JwFormat.h"

namespace pallowin {

// Characters first..last (1-based, inclusive) of the header text. Callers
// check first that the image holds them.
std::string_view HeaderField(ByteSpan file, std::size_t first, std::size_t last);

// The text before the first comma; the window loses everything up to and
// including that comma. Without a comma the field is empty and the window
// stays as it was.
std::string_view NextField(std::string_view& window);

// As NextField, but when the window holds no comma the field is the text
// before its first NUL (empty when there is none either).
std::string_view LastField(std::string_view& window);

// Leading spaces, then an optional sign and decimal digits or "$" and
// hexadecimal digits; a NUL ends the number. Anything else, or a value outside
// 32 bits, throws EConvertError naming `what`.
std::int32_t ConvertInteger(std::string_view field, std::string_view what);

// Optional spaces, sign, digits with a fraction after a full stop, exponent,
// spaces; a NUL ends the text. The separator is the full stop whatever the
// locale, since the files are written that way. Throws EConvertError naming
// `what` for anything else or a value beyond single precision.
float ConvertDecimal(std::string_view field, std::string_view what);

// Characters 6 to 9 of a far-pointer field ("SSSS:OOOO": the offset part),
// read as hexadecimal. Shorter fields convert what there is; a field of five
// characters or fewer is a conversion error.
std::int32_t ParseHexField(std::string_view field, std::string_view what = "block bounds field");

// The field as a CLI can print it: NULs and other control bytes escaped.
std::string PrintableField(std::string_view field);

}  // namespace pallowin
