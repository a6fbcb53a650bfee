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

// Arcs of up to this many segments, wound at most once, are drawn exactly,
// every pixel.
constexpr long double ModerateArcSegments = 0x1p22L;
// Most vertices one arc computes (a moderate arc, with the vertices its
// walk looks at, stays well below it); past it the chain is cut short and
// the current position put on the end pixel.
constexpr std::int64_t ArcVertexBudget = std::int64_t{1} << 23;
// Vertices all immoderate arcs of one render may compute together.
constexpr std::int64_t ImmoderateVertexBudget = std::int64_t{1} << 20;

// What is left of the immoderate arcs' budget; the caller keeps one per
// render.
struct ImmoderateArcBudget {
    std::int64_t vertices = ImmoderateVertexBudget;
};

// Beyond the arithmetic itself, the chain is bounded thus:
// - an infinite or not-a-number input draws nothing and leaves the position
//   (there is no pixel to go to);
// - an ellipse reaching past 2^40 pixels, or a chain of more than 2^62
//   segments or 4096 turns, only moves the position to its end pixel;
// - with an area, segments that cannot touch it are left out (the walk
//   skips a run when the exact box of its stretch of the ellipse misses
//   the area), so an arc costs about its visible vertices;
// - an immoderate arc (more than ModerateArcSegments segments: a radius of
//   millions of pixels, which floats hold to a quarter pixel at best; or a
//   chain wound round more than one turn) draws from the shared budget, if
//   given:
//   the arc that spends it is cut short at its end pixel, and later ones
//   only move there;
// - no arc computes more than ArcVertexBudget vertices; past that the chain
//   is cut short at the end pixel.
// Runs under X87Precision.
void TraceArc(const ArcSpec& arc, PathSink& sink, const VisibleArea* area,
              ImmoderateArcBudget* shared = nullptr);

// The segment count of the chain, as an extended value:
// it may not fit any integer. Not a number when the arc draws nothing.
long double ArcSegmentCount(const ArcSpec& arc);

// Round half to even (under X87Precision's rounding control), clamped to 32
// bits; not a number gives INT32_MIN.
std::int32_t RoundToPixel(long double value);

}  // namespace pallowin
