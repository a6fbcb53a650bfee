#include "drawing/ArcPath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "drawing/X87Precision.h"

namespace pallowin {
namespace {

constexpr long double Pi = 3.1415926535897932385L;
constexpr float FineDensity = 1.2f, CoarseDensity = 4.0f;
constexpr float FineDensityRadius = 10;

// The x87 instructions themselves, so that every build (and the platform's
// runtime) gets the same last bits; library versions differ.
#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
constexpr long double TrigLimit = 0x1p62L;  // fsin/fcos refuse |x| >= 2^63
long double Cos(long double x) {
    if (!(std::fabs(x) < TrigLimit)) return std::cos(x);
    long double r;
    __asm__("fcos" : "=t"(r) : "0"(x));
    return r;
}
long double Sin(long double x) {
    if (!(std::fabs(x) < TrigLimit)) return std::sin(x);
    long double r;
    __asm__("fsin" : "=t"(r) : "0"(x));
    return r;
}
long double ArcTan2(long double y, long double x) {
    long double r;
    __asm__("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}
// Rounds by the control word's rounding mode, which X87Precision sets to
// nearest (halves to even).
long double RoundHalfEven(long double x) {
    long double r;
    __asm__("frndint" : "=t"(r) : "0"(x));
    return r;
}
#else
long double RoundHalfEven(long double x) { return std::nearbyint(x); }
long double Cos(long double x) { return std::cos(x); }
long double Sin(long double x) { return std::sin(x); }
long double ArcTan2(long double y, long double x) { return std::atan2(y, x); }
#endif

// A value the arithmetic stores: rounded to a float here and now, even where
// the compiler would keep excess precision in a register.
float Stored(long double value) {
    volatile float stored = static_cast<float>(value);
    return stored;
}

// Steps 1 to 7 applied: the values every vertex is computed from.
struct ArcGeometry {
    float cx, cy, radius, start, end, flatness, turn;
    long double perTurn;  // radius x density
    long double count;    // Trunc of step 8, possibly huge or negative
};

// False when nothing is drawn at all (and the position stays). A zero or
// not-a-number radius is the arithmetic's own rule; infinite or not-a-number
// centres, angles, tilts and flatnesses give no pixel either, so are treated
// alike.
bool Prepare(const ArcSpec& arc, ArcGeometry& g) {
    if (arc.radius == 0 || std::isnan(arc.radius)) return false;
    g.cx = arc.centreX;
    g.cy = arc.centreY;
    g.radius = arc.radius;
    const float density = arc.radius >= FineDensityRadius ? FineDensity : CoarseDensity;
    g.start = arc.startAngle;
    g.end = arc.endAngle;
    if (g.end == 0) g.end = 360;
    if (g.end < g.start) g.end = Stored(static_cast<long double>(g.end) + 360);
    if (g.end == g.start) {
        g.start = 0;
        g.end = 360;
    }
    g.flatness = arc.flatness > 0 ? arc.flatness : 1.0f;
    g.turn = -arc.tilt;
    for (float v : {g.cx, g.cy, g.radius, g.start, g.end, g.flatness, g.turn})
        if (!std::isfinite(v)) return false;
    g.perTurn = static_cast<long double>(g.radius) * density;
    g.count = std::trunc(g.perTurn * ((static_cast<long double>(g.end) - g.start) / 360));
    return true;
}

PixelPoint ArcPixel(const ArcGeometry& g, long double theta) {
    const long double t = theta * Pi / 180;
    const float x = Stored(Cos(t) * g.radius + g.cx);
    const float y = Stored(g.cy - Sin(t) * g.radius * g.flatness);
    const long double ux = static_cast<long double>(x) - g.cx;
    const long double uy = static_cast<long double>(y) - g.cy;
    const float a = Stored(ArcTan2(uy, ux) * 180 / Pi);
    const float d = Stored(std::sqrt(ux * ux + uy * uy));
    const long double turned = (static_cast<long double>(a) + g.turn) * Pi / 180;
    const float x2 = Stored(Cos(turned) * d + g.cx);
    const float y2 = Stored(g.cy - Sin(turned) * d);
    const long double mirrored =
        static_cast<long double>(y2) - (static_cast<long double>(y2) - g.cy) * 2;
    return {RoundToPixel(x2), RoundToPixel(mirrored)};
}

// Past this, floats hold pixel positions no finer than 2^16 pixels and no
// vertex fits 32 bits: such an ellipse only moves the position to its end.
constexpr long double MaxExtent = 0x1p40L;
// Vertex indices stay exact integers below this.
constexpr long double MaxExactIndex = 0x1p62L;
// Records turn at most 182 times (angles fit 32 bits of 1/65536 degree);
// a chain winding more than this only redraws itself at great cost.
constexpr long double MaxTurns = 4096;

// Walks the chain, leaving out runs of vertices that cannot reach the
// visible area. Each run of vertices i0..i1 stays within `reach` x (i1 - i0)
// + `slack` pixels (on each axis) of vertex i0: the ellipse moves at most
// radius x max(1, flatness) pixels per radian, and `slack` covers the floats
// stored on the way and the rounding. A run whose first vertex lies farther
// than that from the area is skipped whole; so is a full pass of a
// gigantic circle, in O(log n) vertices per visible stretch.
class ChainWalker {
public:
    ChainWalker(const ArcGeometry& g, PathSink& sink, const VisibleArea* area)
        : g_(g), sink_(sink), area_(area), step_(360 / g.perTurn) {
        const long double extent = std::fabs(static_cast<long double>(g.radius)) *
                                   std::max(1.0L, std::fabs(static_cast<long double>(g.flatness)));
        reach_ = extent * std::fabs(step_) * Pi / 180;
        slack_ = (std::fabs(static_cast<long double>(g.cx)) + std::fabs(static_cast<long double>(g.cy)) +
                  extent) * 0x1p-19L +
                 extent * (std::fabs(static_cast<long double>(g.start)) +
                           std::fabs(static_cast<long double>(g.end)) + 360) * 0x1p-60L + 4;
    }

    // How far a computed vertex may lie from the ideal ellipse, per axis.
    long double Slack() const { return slack_; }
    bool Stale() const { return stale_; }
    long double Reach() const { return reach_; }
    bool Exhausted() const { return budget_ <= 0; }

    PixelPoint Vertex(long double i) {
        --budget_;
        return ArcPixel(g_, step_ * i + g_.start);
    }

    // Draws the lines from vertex `first` (at `at`) to vertex `last`.
    void Walk(long double first, long double last, PixelPoint at) {
        if (Exhausted()) return;
        if (area_ && last - first > LeafVertices) {
            if (FarFromArea(at, reach_ * (last - first) + 2 * slack_ + 1)) {
                stale_ = true;
                return;
            }
            const long double mid = std::floor((first + last) / 2);
            const PixelPoint midPoint = Vertex(mid);
            Walk(first, mid, at);
            Walk(mid, last, midPoint);
            return;
        }
        if (stale_) {
            sink_.MoveTo(at.x, at.y);
            stale_ = false;
        }
        for (long double i = first + 1; i <= last && !Exhausted(); ++i) {
            const PixelPoint p = Vertex(i);
            sink_.LineTo(p.x, p.y);
        }
    }

    bool FarFromArea(PixelPoint p, long double distance) const {
        const long double x = p.x, y = p.y;
        const long double outX = std::max({0.0L, -x, x - (area_->width - 1)});
        const long double outY = std::max({0.0L, -y, y - (area_->height - 1)});
        return std::max(outX, outY) > distance;
    }

private:
    static constexpr long double LeafVertices = 16;
    const ArcGeometry& g_;
    PathSink& sink_;
    const VisibleArea* area_;
    long double step_, reach_ = 0, slack_ = 0;
    std::int64_t budget_ = ArcVertexBudget;
    bool stale_ = false;  // the sink's position is not at the walk's vertex
};

// True when no segment of the chain can touch the area: the ellipse's box
// misses it, or the area lies wholly inside the ring the chain runs along.
bool ChainMissesArea(const ArcGeometry& g, const ChainWalker& walker, const VisibleArea& area) {
    const long double r = std::fabs(static_cast<long double>(g.radius));
    const long double f = std::fabs(static_cast<long double>(g.flatness));
    const long double outer = r * std::max(1.0L, f) + walker.Slack() + 1;
    const long double cx = g.cx, cy = g.cy;
    if (cx + outer < 0 || cy + outer < 0 || cx - outer > area.width || cy - outer > area.height)
        return true;
    // Every chord is shorter than one step of the ellipse plus the slack.
    const long double inner = r * std::min(1.0L, f) - walker.Reach() - 3 * walker.Slack() - 2;
    if (inner <= 0) return false;
    const long double farX = std::max(std::fabs(cx), std::fabs(cx - area.width));
    const long double farY = std::max(std::fabs(cy), std::fabs(cy - area.height));
    return farX * farX + farY * farY < inner * inner;
}

}  // namespace

std::int32_t RoundToPixel(long double value) {
    if (std::isnan(value)) return std::numeric_limits<std::int32_t>::min();
    const long double rounded = RoundHalfEven(value);
    if (rounded <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

long double ArcSegmentCount(const ArcSpec& arc) {
    X87Precision extended;
    ArcGeometry g;
    if (!Prepare(arc, g)) return std::numeric_limits<long double>::quiet_NaN();
    return g.count;
}

void TraceArc(const ArcSpec& arc, PathSink& sink, const VisibleArea* area) {
    X87Precision extended;
    ArcGeometry g;
    if (!Prepare(arc, g)) return;
    const PixelPoint start = ArcPixel(g, g.start);
    const PixelPoint end = ArcPixel(g, g.end);
    // A count below 0 leaves just the line from start to end.
    if (g.count < 0) {
        sink.MoveTo(start.x, start.y);
        sink.LineTo(end.x, end.y);
        return;
    }
    const long double extent =
        std::fabs(static_cast<long double>(g.cx)) + std::fabs(static_cast<long double>(g.cy)) +
        std::fabs(static_cast<long double>(g.radius)) *
            std::max(1.0L, std::fabs(static_cast<long double>(g.flatness)));
    ChainWalker walker(g, sink, area);
    const long double turns = std::fabs(static_cast<long double>(g.end) - g.start) / 360;
    if (extent > MaxExtent || g.count > MaxExactIndex || turns > MaxTurns ||
        (area && ChainMissesArea(g, walker, *area))) {
        sink.MoveTo(end.x, end.y);
        return;
    }
    sink.MoveTo(start.x, start.y);
    walker.Walk(0, g.count, start);
    if (walker.Exhausted()) {
        sink.MoveTo(end.x, end.y);
        return;
    }
    if (walker.Stale()) {
        const PixelPoint last = walker.Vertex(g.count);
        sink.MoveTo(last.x, last.y);
    }
    sink.LineTo(end.x, end.y);
}

}  // namespace pallowin
