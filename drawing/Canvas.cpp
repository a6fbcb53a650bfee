#include "drawing/Canvas.h"

#include <algorithm>

#include "drawing/LineWalk.h"

namespace pallowin {
namespace {

// Colours are 0x00BBGGRR; pixels are stored blue, green, red.
using Bgr = std::uint32_t;

// Walks n pixels of a clipped line: no bounds checks, the clip has made sure.
// Both candidates are computed and one selected (conditional moves), so the
// loop carries only a two-instruction chain and lines of any slope cost no
// mispredicted branches.
template <class Int>
inline void WalkRun(std::uint8_t*& p, Int& error, std::int64_t n, std::ptrdiff_t majorStep,
                    std::ptrdiff_t minorStep, Int straightAdd, Int diagonalAdd, Bgr c) {
    const auto blue = static_cast<std::uint8_t>(c >> 16), green = static_cast<std::uint8_t>(c >> 8),
               red = static_cast<std::uint8_t>(c);
    if (straightAdd == 0) {  // horizontal or vertical: no minor steps at all
        for (; n > 0; --n, p += majorStep) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
        return;
    }
    const std::ptrdiff_t diagonalStep = majorStep + minorStep;
    for (; n > 0; --n) {
        p[0] = blue;
        p[1] = green;
        p[2] = red;
        Int straight = error + straightAdd;
        const Int diagonal = error + diagonalAdd;
        std::uint8_t* next = p + majorStep;
        std::uint8_t* const nextDiagonal = p + diagonalStep;
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
        // Compilers turn this select into a branch, which mispredicts on
        // lines of middling slope.
        if constexpr (sizeof(Int) <= sizeof(void*)) {
            __asm__("test %[e], %[e]\n\t"
                    "cmovg %[d], %[s]\n\t"
                    "cmovg %[nd], %[n]"
                    : [s] "+r"(straight), [n] "+r"(next)
                    : [e] "r"(error), [d] "r"(diagonal), [nd] "r"(nextDiagonal)
                    : "cc");
            error = straight;
            p = next;
            continue;
        }
#endif
        const bool minor = error > 0;
        error = minor ? diagonal : straight;
        p = minor ? nextDiagonal : next;
    }
}

template <class Int>
void WalkLine(std::uint8_t* p, const VisibleLine& line, std::ptrdiff_t majorStep,
              std::ptrdiff_t minorStep, const DashPattern* dash, std::int64_t phase, Bgr pen,
              Bgr gap) {
    Int error = static_cast<Int>(line.error);
    const Int straightAdd = static_cast<Int>(line.straightAdd);
    const Int diagonalAdd = static_cast<Int>(line.diagonalAdd);
    if (!dash) {
        WalkRun(p, error, line.count, majorStep, minorStep, straightAdd, diagonalAdd, pen);
        return;
    }
    DashPosition pos = AdvanceDash(*dash, phase + line.skipped);
    std::int64_t left = line.count;
    while (left > 0) {
        const std::int64_t run = std::min<std::int64_t>(pos.left, left);
        WalkRun(p, error, run, majorStep, minorStep, straightAdd, diagonalAdd,
                pos.run % 2 == 0 ? pen : gap);
        left -= run;
        if (++pos.run == dash->runCount) pos.run = 0;
        pos.left = dash->runs[pos.run];
    }
}

}  // namespace

Canvas::Canvas(std::uint8_t* bits, std::int32_t width, std::int32_t height, std::ptrdiff_t stride,
               RowOrder order)
    : bits_(bits), width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(stride),
      order_(order) {}

void Canvas::SetPenColor(std::uint32_t color) { penColor_ = color & 0xFFFFFF; }
void Canvas::SetPenStyle(TPenStyle style) { penStyle_ = style; }
void Canvas::SetBackgroundColor(std::uint32_t color) { backgroundColor_ = color & 0xFFFFFF; }
void Canvas::SetBrushColor(std::uint32_t color) { brushColor_ = color & 0xFFFFFF; }

std::uint8_t* Canvas::Row(std::int32_t y) const {
    const std::int32_t stored = order_ == RowOrder::TopDown ? y : height_ - 1 - y;
    return bits_ + static_cast<std::ptrdiff_t>(stored) * stride_;
}

void Canvas::MoveTo(std::int32_t x, std::int32_t y) {
    curX_ = x;
    curY_ = y;
}

void Canvas::LineTo(std::int32_t x, std::int32_t y) {
    DrawLine(curX_, curY_, x, y, 0);
    curX_ = x;
    curY_ = y;
}

std::int64_t Canvas::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                              std::int64_t phase) {
    const VisibleLine line = ClipLine(x1, y1, x2, y2, width_, height_);
    if (line.count > 0) {
        std::uint8_t* p = Row(line.y) + 3 * static_cast<std::ptrdiff_t>(line.x);
        const std::ptrdiff_t xStep = 3, yStep = RowStep();
        const std::ptrdiff_t majorStep = (line.xMajor ? xStep : yStep) * line.majorSign;
        const std::ptrdiff_t minorStep = (line.xMajor ? yStep : xStep) * line.minorSign;
        const DashPattern* dash = DashPatternFor(penStyle_);
        const Bgr pen = penColor_, gap = backgroundColor_;
        // Error terms and both candidates stay within 4 * major; most lines
        // fit the faster type.
        if (line.steps < (std::int64_t{1} << 28))
            WalkLine<std::int32_t>(p, line, majorStep, minorStep, dash, phase, pen, gap);
        else
            WalkLine<std::int64_t>(p, line, majorStep, minorStep, dash, phase, pen, gap);
    }
    return phase + line.steps;
}

void Canvas::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* p = Row(y) + 3 * static_cast<std::ptrdiff_t>(x);
    p[0] = static_cast<std::uint8_t>(color >> 16);
    p[1] = static_cast<std::uint8_t>(color >> 8);
    p[2] = static_cast<std::uint8_t>(color);
}

void Canvas::FillRect(std::int64_t left, std::int64_t top, std::int64_t right,
                      std::int64_t bottom, std::uint32_t color) {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, width_);
    bottom = std::min<std::int64_t>(bottom, height_);
    if (left >= right || top >= bottom) return;
    const auto blue = static_cast<std::uint8_t>(color >> 16),
               green = static_cast<std::uint8_t>(color >> 8), red = static_cast<std::uint8_t>(color);
    for (std::int64_t y = top; y < bottom; ++y) {
        std::uint8_t* p = Row(static_cast<std::int32_t>(y)) + 3 * left;
        for (std::int64_t x = left; x < right; ++x, p += 3) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    }
}

void Canvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                       std::int32_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return;
    // The outline runs through the last pixel inside right and bottom, from the
    // top right corner anticlockwise, its pattern carried round the corners.
    const std::int32_t r = right - 1, b = bottom - 1;
    std::int64_t phase = 0;
    phase = DrawLine(r, top, left, top, phase);
    phase = DrawLine(left, top, left, b, phase);
    phase = DrawLine(left, b, r, b, phase);
    DrawLine(r, b, r, top, phase);
    FillRect(std::int64_t{left} + 1, std::int64_t{top} + 1, r, b, brushColor_);
}

}  // namespace pallowin
