// The geometry of one-pixel lines, kept apart from the pixels: which pixels a
// line covers inside a bitmap (clipped in O(1), whatever its coordinates) and
// the dash patterns of broken pens. Canvas walks the result over its buffer.
#pragma once
#include <cstdint>

#include "drawing/Canvas.h"

namespace pallowin {

// The visible run of a line from (x1, y1) to (x2, y2), start pixel in and end
// pixel out, with the platform's Bresenham rules. Each pixel is one major
// step; after a pixel, the minor axis steps when `error` > 0 (then
// `diagonalAdd` is added to it, otherwise `straightAdd`).
struct VisibleLine {
    std::int64_t count = 0;    // visible pixels; 0 when none
    std::int64_t skipped = 0;  // major steps before the first visible pixel
    std::int64_t steps = 0;    // major steps of the whole line
    std::int32_t x = 0, y = 0; // first visible pixel
    bool xMajor = false;
    std::int32_t majorSign = 1, minorSign = 1;
    std::int64_t error = 0, straightAdd = 0, diagonalAdd = 0;
};

VisibleLine ClipLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     std::int32_t width, std::int32_t height);

// On and off runs of a broken pen, in major steps, starting "on".
struct DashPattern {
    std::uint8_t runs[6];
    std::uint8_t runCount;
    std::uint8_t period;
};

// Null for psSolid (and any value that is not a broken style).
const DashPattern* DashPatternFor(TPenStyle style);

// Where a pattern stands after `steps` major steps from its start.
struct DashPosition {
    std::int32_t run = 0;   // index into runs; even runs are "on"
    std::int32_t left = 0;  // steps left in that run
};
DashPosition AdvanceDash(const DashPattern& pattern, std::int64_t steps);

}  // namespace pallowin
