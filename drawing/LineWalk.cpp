#include "drawing/LineWalk.h"

#include <algorithm>

namespace pallowin {
namespace {

using u64 = std::uint64_t;
using i64 = std::int64_t;

// floor((a * b + c) / d) and its remainder, for a, b < 2^34, c < 2^40 and
// 0 < d < 2^40: the product can pass 64 bits, the quotient cannot. The 32-bit
// product has no 128-bit integer, so this is done by hand.
u64 MulAddDiv(u64 a, u64 b, u64 c, u64 d, u64& remainder) {
    const u64 aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const u64 ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
    const u64 mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    u64 lo = (ll & 0xFFFFFFFFu) | (mid << 32);
    u64 hi = hh + (lh >> 32) + (hl >> 32) + (mid >> 32);
    const u64 sum = lo + c;
    hi += sum < lo;
    lo = sum;
    // Long division in 16-bit digits: the remainder stays below 2^40, so
    // remainder << 16 never overflows.
    u64 r = hi % d, q = hi / d;
    for (int shift = 48; shift >= 0; shift -= 16) {
        const u64 cur = (r << 16) | ((lo >> shift) & 0xFFFFu);
        q = (q << 16) | (cur / d);
        r = cur % d;
    }
    remainder = r;
    return q;
}

}  // namespace

VisibleLine ClipLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     std::int32_t width, std::int32_t height) {
    VisibleLine line;
    const i64 dx = i64{x2} - x1, dy = i64{y2} - y1;
    const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    line.xMajor = adx > ady;  // exact diagonals are y-major
    const i64 major = line.xMajor ? adx : ady, minor = line.xMajor ? ady : adx;
    line.steps = major;
    if (major == 0 || width <= 0 || height <= 0) return line;
    const i64 majorDelta = line.xMajor ? dx : dy, minorDelta = line.xMajor ? dy : dx;
    line.majorSign = majorDelta < 0 ? -1 : 1;
    line.minorSign = minorDelta < 0 ? -1 : 1;
    // Lines heading towards the smaller minor coordinate step one error unit
    // later, so ties always go to the smaller coordinate.
    const i64 bias = minorDelta < 0 ? 1 : 0;
    line.straightAdd = 2 * minor;
    line.diagonalAdd = 2 * minor - 2 * major;
    // Both ends inside: every pixel is, and the walk starts at the start.
    if (x1 >= 0 && y1 >= 0 && x2 >= 0 && y2 >= 0 && x1 < width && x2 < width && y1 < height &&
        y2 < height) {
        line.x = x1;
        line.y = y1;
        line.count = major;
        line.error = 2 * minor - major + bias;
        return line;
    }
    const i64 a1 = line.xMajor ? x1 : y1, b1 = line.xMajor ? y1 : x1;
    const i64 majorLimit = line.xMajor ? width : height, minorLimit = line.xMajor ? height : width;

    // Pixel k (0 <= k < major) lies at major coordinate a1 + majorSign*k and
    // minor coordinate b1 + minorSign*m(k), where
    // m(k) = floor((2*minor*k + major - 1 + bias) / (2*major)).
    i64 kLo = 0, kHi = major - 1;
    if (line.majorSign > 0) {
        kLo = std::max(kLo, -a1);
        kHi = std::min(kHi, majorLimit - 1 - a1);
    } else {
        kLo = std::max(kLo, a1 - (majorLimit - 1));
        kHi = std::min(kHi, a1);
    }
    if (kLo > kHi) return line;
    i64 mLo = line.minorSign > 0 ? -b1 : b1 - (minorLimit - 1);
    i64 mHi = line.minorSign > 0 ? minorLimit - 1 - b1 : b1;
    mLo = std::max<i64>(mLo, 0);
    mHi = std::min(mHi, minor);
    if (mLo > mHi) return line;
    // First k whose m(k) reaches m (m >= 1, so minor >= 1).
    auto firstStepReaching = [&](i64 m) -> i64 {
        u64 rem;
        const u64 numeratorAdd = static_cast<u64>(1 - bias) + static_cast<u64>(2 * minor - 1);
        return static_cast<i64>(
            MulAddDiv(static_cast<u64>(major), static_cast<u64>(2 * m - 1), numeratorAdd,
                      static_cast<u64>(2 * minor), rem));
    };
    if (mLo > 0) kLo = std::max(kLo, firstStepReaching(mLo));
    if (mHi < minor) kHi = std::min(kHi, firstStepReaching(mHi + 1) - 1);
    if (kLo > kHi) return line;

    i64 m0 = 0, rem0 = major - 1 + bias;
    if (kLo > 0) {
        u64 rem;
        m0 = static_cast<i64>(MulAddDiv(static_cast<u64>(2 * minor), static_cast<u64>(kLo),
                                        static_cast<u64>(major - 1 + bias),
                                        static_cast<u64>(2 * major), rem));
        rem0 = static_cast<i64>(rem);
    }
    const i64 a = a1 + line.majorSign * kLo, b = b1 + line.minorSign * m0;
    line.x = static_cast<std::int32_t>(line.xMajor ? a : b);
    line.y = static_cast<std::int32_t>(line.xMajor ? b : a);
    line.count = kHi - kLo + 1;
    line.skipped = kLo;
    // The decision term err(k) = 2*minor*(k+1) - major - 2*major*m(k), with the
    // bias folded in; at k = 0 it is 2*minor - major + bias.
    line.error = 2 * minor - 2 * major + 1 + rem0;
    return line;
}

namespace {
constexpr DashPattern DashRuns{{18, 6}, 2, 24};
constexpr DashPattern DotRuns{{3, 3}, 2, 6};
constexpr DashPattern DashDotRuns{{9, 6, 3, 6}, 4, 24};
constexpr DashPattern DashDotDotRuns{{9, 3, 3, 3, 3, 3}, 6, 24};
}  // namespace

const DashPattern* DashPatternFor(TPenStyle style) {
    switch (style) {
    case psDash: return &DashRuns;
    case psDot: return &DotRuns;
    case psDashDot: return &DashDotRuns;
    case psDashDotDot: return &DashDotDotRuns;
    default: return nullptr;
    }
}

DashPosition AdvanceDash(const DashPattern& pattern, std::int64_t steps) {
    std::int64_t into = steps % pattern.period;
    if (into < 0) into += pattern.period;
    DashPosition pos;
    while (into >= pattern.runs[pos.run]) {
        into -= pattern.runs[pos.run];
        ++pos.run;
    }
    pos.left = pattern.runs[pos.run] - static_cast<std::int32_t>(into);
    return pos;
}

}  // namespace pallowin
