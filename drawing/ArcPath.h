// The vertex chain of an arc, computed with the plug-in's own arithmetic and
// handed to any line drawer: the canvas, or a test program drawing through the
// platform's GDI with the very same vertices.
#pragma once
#include <cstdint>

namespace pallowin {

struct ArcSpec {
    float centreX, centreY, radius, startAngle, endAngle, flatness, tilt;
};

class PathSink {
public:
    virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;

protected:
    ~PathSink() = default;
};

struct PixelPoint {
    std::int32_t x, y;
};

// The pixels of the bitmap the chain is drawn on: segments that cannot touch
// it may be left out (the current position still ends where the full chain
// would). Without one, every segment is drawn.
struct VisibleArea {
    std::int32_t width, height;
};

// Most vertices one arc computes; past it the chain is cut short and the
// current position put on the end pixel.
constexpr std::int64_t ArcVertexBudget = std::int64_t{1} << 22;

void TraceArc(const ArcSpec& arc, PathSink& sink, const VisibleArea* area);

// The segment count of the chain, as an extended value:
// it may not fit any integer. Not a number when the arc draws nothing.
long double ArcSegmentCount(const ArcSpec& arc);

// Round half to even, clamped to 32 bits; not a number gives INT32_MIN.
std::int32_t RoundToPixel(long double value);

}  // namespace pallowin
