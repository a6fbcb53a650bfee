#include "drawing/PixelMapping.h"

#include <cmath>
#include <limits>

#include "platform/Failures.h"

namespace pallowin {

namespace {
[[noreturn]] void OutOfRange() {
    throw EInvalidGraphic("a pixel coordinate is not a number or does not fit 32 bits");
}
}  // namespace

std::int32_t CheckedRound(long double v) {
    // The comparison also turns away NaN. Bounds one past int32 on each side
    // leave the halves at the edges to the exact check below.
    if (!(v > -2147483649.0L && v < 2147483648.0L)) OutOfRange();
    // floor and the difference are exact, so no rounding mode of the host's
    // leaks in.
    const long double whole = std::floor(v);
    const long double fraction = v - whole;
    std::int64_t r = static_cast<std::int64_t>(whole);
    if (fraction > 0.5L || (fraction == 0.5L && (r & 1) != 0)) ++r;
    return CheckedPixel(r);
}

std::int32_t CheckedPixel(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        OutOfRange();
    return static_cast<std::int32_t>(v);
}

}  // namespace pallowin
