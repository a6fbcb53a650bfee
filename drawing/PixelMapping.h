// From sheet arithmetic to whole pixels: Round to the nearest integer with
// halves to the even neighbour, checked against the 32-bit range, since a
// record's value comes straight from the file.
#pragma once
#include <cstdint>

namespace pallowin {

// Throws EInvalidGraphic when v is not a number or rounds outside int32.
std::int32_t CheckedRound(long double v);

// The same for a sum of rounded terms (the figure transform adds two).
std::int32_t CheckedPixel(std::int64_t v);

}  // namespace pallowin
