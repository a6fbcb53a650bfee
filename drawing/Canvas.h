// A drawing surface over a 24-bit pixel buffer owned by someone else (the
// host's pixel block), drawing one-pixel lines, pixels and rectangles exactly
// as the platform's GDI does.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pallowin {

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot };

enum class RowOrder { TopDown, BottomUp };

class Canvas {
public:
    // bits: first byte of the buffer; stride: bytes per row (a multiple of 4
    // for a DIB). BottomUp buffers store the last picture row first.
    Canvas(std::uint8_t* bits, std::int32_t width, std::int32_t height, std::ptrdiff_t stride,
           RowOrder order);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

    // Colours are 0x00BBGGRR.
    void SetPenColor(std::uint32_t color);
    void SetPenStyle(TPenStyle style);
    // Colour of the gaps of broken pens (opaque background mode).
    void SetBackgroundColor(std::uint32_t color);
    void SetBrushColor(std::uint32_t color);

    void MoveTo(std::int32_t x, std::int32_t y);
    // From the current position to (x, y): start pixel in, end pixel out.
    void LineTo(std::int32_t x, std::int32_t y);
    std::int32_t CurrentX() const { return curX_; }
    std::int32_t CurrentY() const { return curY_; }

    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t color);
    // Outline in the pen colour, inside in the brush colour; right and bottom
    // exclusive.
    void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

private:
    std::uint8_t* Row(std::int32_t y) const;
    // Bytes from one row to the next one down the picture.
    std::ptrdiff_t RowStep() const { return order_ == RowOrder::TopDown ? stride_ : -stride_; }
    // One line, its pattern `phase` major steps in; answers the phase at its end
    // (outlines carry the pattern from side to side).
    std::int64_t DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          std::int64_t phase);
    void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                  std::uint32_t color);

    std::uint8_t* bits_;
    std::int32_t width_, height_;
    std::ptrdiff_t stride_;
    RowOrder order_;
    std::uint32_t penColor_ = 0, backgroundColor_ = 0xFFFFFF, brushColor_ = 0xFFFFFF;
    TPenStyle penStyle_ = psSolid;
    std::int32_t curX_ = 0, curY_ = 0;
};

}  // namespace pallowin
