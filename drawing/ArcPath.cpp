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

// One vertex of the walk: its index, its pixel, and the parameter (radians)
// with the cosine and sine the pixel was computed from.
struct Node {
    long double index;
    PixelPoint pixel;
    long double t, cosT, sinT;
};

// Walks the chain, leaving out runs of vertices i0..i1 that cannot reach the
// visible area. The ideal curve over [theta(i0), theta(i1)] has an exact
// bounding box: relative to the centre, pixel x = u and pixel y = -v with
// u = R cos(tilt) cos t - R f sin(tilt) sin t and v = R sin(tilt) cos t +
// R f cos(tilt) sin t, each A cos(t + alpha), whose range over an interval
// is its end values widened to +-A where a crest lies inside. Every computed
// vertex lies within `slack` of the ideal curve and every chord within the
// box of its ends, so a run whose box (widened by the slack and the
// rounding) misses the area is skipped whole. A cheaper test goes first:
// the ellipse moves at most radius x max(1, flatness) pixels per radian, so
// a run stays within `reach` x (i1 - i0) + `slack` of vertex i0.
class ChainWalker {
public:
    ChainWalker(const ArcGeometry& g, PathSink& sink, const VisibleArea* area, std::int64_t budget)
        : g_(g), sink_(sink), area_(area), step_(360 / g.perTurn), budget_(budget) {
        const long double r = g.radius, f = g.flatness;
        const long double extent = std::fabs(r) * std::max(1.0L, std::fabs(f));
        reach_ = extent * std::fabs(step_) * Pi / 180;
        slack_ = (std::fabs(static_cast<long double>(g.cx)) + std::fabs(static_cast<long double>(g.cy)) +
                  extent) * 0x1p-19L +
                 extent * (std::fabs(static_cast<long double>(g.start)) +
                           std::fabs(static_cast<long double>(g.end)) +
                           std::fabs(static_cast<long double>(g.turn)) + 360) * 0x1p-60L + 4;
        const long double tilt = -static_cast<long double>(g.turn) * Pi / 180;
        const long double c = Cos(tilt), s = Sin(tilt);
        ua_ = r * c;
        ub_ = -r * f * s;
        va_ = r * s;
        vb_ = r * f * c;
        uAmp_ = std::hypot(ua_, ub_);
        uPhase_ = ArcTan2(-ub_, ua_);
        vAmp_ = std::hypot(va_, vb_);
        vPhase_ = ArcTan2(-vb_, va_);
    }

    // How far a computed vertex may lie from the ideal ellipse, per axis.
    long double Slack() const { return slack_; }
    bool Stale() const { return stale_; }
    long double Reach() const { return reach_; }
    bool Exhausted() const { return budget_ <= 0; }
    std::int64_t Used() const { return used_; }

    PixelPoint Vertex(long double i) {
        --budget_;
        ++used_;
        return ArcPixel(g_, step_ * i + g_.start);
    }

    Node At(long double i) {
        const long double theta = step_ * i + g_.start;
        const long double t = theta * Pi / 180;
        return {i, Vertex(i), t, Cos(t), Sin(t)};
    }

    // Draws the lines from vertex a to vertex b.
    void Walk(const Node& a, const Node& b) {
        if (Exhausted()) return;
        if (area_ && b.index - a.index > LeafVertices) {
            if (FarFromArea(a.pixel, reach_ * (b.index - a.index) + 2 * slack_ + 1) || RunMissesArea(a, b)) {
                stale_ = true;
                return;
            }
            const Node mid = At(std::floor((a.index + b.index) / 2));
            Walk(a, mid);
            Walk(mid, b);
            return;
        }
        if (stale_) {
            sink_.MoveTo(a.pixel.x, a.pixel.y);
            stale_ = false;
        }
        for (long double i = a.index + 1; i <= b.index && !Exhausted(); ++i) {
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
    struct Range {
        long double low, high;
    };

    // The range of a cos t + b sin t = amp cos(t + phase) over [t0, t1],
    // given its end values. The crests are looked for a little beyond the
    // ends: the trigonometry's own reduction of large parameters may shift
    // them slightly, and a crest taken in needlessly only widens the box.
    static Range Span(long double amp, long double phase, const Node& a, const Node& b,
                      long double atA, long double atB) {
        Range r{std::min(atA, atB), std::max(atA, atB)};
        const long double margin = (std::fabs(a.t) + std::fabs(b.t) + 8) * 0x1p-50L;
        const long double lo = std::min(a.t, b.t) + phase - margin;
        const long double hi = std::max(a.t, b.t) + phase + margin;
        const long double turn = 2 * Pi;
        if (std::ceil(lo / turn) * turn <= hi) r.high = amp;
        if (std::ceil((lo - Pi) / turn) * turn + Pi <= hi) r.low = -amp;
        return r;
    }

    bool RunMissesArea(const Node& a, const Node& b) const {
        const Range u = Span(uAmp_, uPhase_, a, b, ua_ * a.cosT + ub_ * a.sinT, ua_ * b.cosT + ub_ * b.sinT);
        const Range v = Span(vAmp_, vPhase_, a, b, va_ * a.cosT + vb_ * a.sinT, va_ * b.cosT + vb_ * b.sinT);
        const long double margin = slack_ + 1;
        const long double cx = g_.cx, cy = g_.cy;
        return cx + u.high + margin < 0 || cx + u.low - margin > area_->width - 1 ||
               cy - v.low + margin < 0 || cy - v.high - margin > area_->height - 1;
    }

    static constexpr long double LeafVertices = 16;
    const ArcGeometry& g_;
    PathSink& sink_;
    const VisibleArea* area_;
    long double step_, reach_ = 0, slack_ = 0;
    // u = ua cos t + ub sin t and v = va cos t + vb sin t, as amplitude and phase.
    long double ua_, ub_, va_, vb_, uAmp_, uPhase_, vAmp_, vPhase_;
    std::int64_t budget_, used_ = 0;
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

void TraceArc(const ArcSpec& arc, PathSink& sink, const VisibleArea* area, ImmoderateArcBudget* shared) {
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
    const long double turns = std::fabs(static_cast<long double>(g.end) - g.start) / 360;
    // A chain wound round more than once only redraws its ellipse; records
    // of real drawings never wind, so such chains are charged like huge ones.
    const bool immoderate = shared && (g.count > ModerateArcSegments || turns > 1);
    std::int64_t budget = ArcVertexBudget;
    if (immoderate) budget = std::min(budget, shared->vertices);
    ChainWalker walker(g, sink, area, budget);
    if (extent > MaxExtent || g.count > MaxExactIndex || turns > MaxTurns ||
        (area && ChainMissesArea(g, walker, *area)) || walker.Exhausted()) {
        sink.MoveTo(end.x, end.y);
        return;
    }
    sink.MoveTo(start.x, start.y);
    Node last{};
    if (area) {
        last = walker.At(g.count);
        walker.Walk(walker.At(0), last);
    } else {
        walker.Walk({0, start, 0, 0, 0}, {g.count, {}, 0, 0, 0});
    }
    if (immoderate) shared->vertices = std::max<std::int64_t>(0, shared->vertices - walker.Used());
    if (walker.Exhausted()) {
        sink.MoveTo(end.x, end.y);
        return;
    }
    if (walker.Stale()) sink.MoveTo(last.pixel.x, last.pixel.y);
    sink.LineTo(end.x, end.y);
}

}  // namespace pallowin
