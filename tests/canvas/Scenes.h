// Drawing scenes shared, as source, by the Windows program that draws them
// through GDI and by the native test that draws them on our canvas: the two
// must agree byte for byte. Generated from fixed seeds with a PRNG of our own
// (the standard distributions differ between libraries).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/ArcPath.h"
#include "drawing/Canvas.h"

namespace pallowin::scenes {

struct Command {
    enum Kind { Pen, Background, Brush, Move, Line, Pixel, Rect, Arc } kind;
    std::int32_t a = 0, b = 0, c = 0, d = 0;  // coordinates
    std::uint32_t color = 0;
    TPenStyle style = psSolid;
    ArcSpec arc{};
};

struct Scene {
    std::string name;
    std::int32_t width, height;
    std::uint32_t paper;
    std::vector<Command> commands;
};

inline std::ptrdiff_t StrideOf(std::int32_t width) { return (std::ptrdiff_t{width} * 3 + 3) & ~3; }

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    std::int64_t Between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    float Real(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24);
    }

private:
    std::uint64_t state_;
};

inline Command PenOf(std::uint32_t color, TPenStyle style) {
    Command c{Command::Pen};
    c.color = color;
    c.style = style;
    return c;
}
inline Command Colour(Command::Kind kind, std::uint32_t color) {
    Command c{kind};
    c.color = color;
    return c;
}
inline Command At(Command::Kind kind, std::int64_t x, std::int64_t y) {
    Command c{kind};
    c.a = static_cast<std::int32_t>(x);
    c.b = static_cast<std::int32_t>(y);
    return c;
}
inline Command PixelAt(std::int64_t x, std::int64_t y, std::uint32_t color) {
    Command c = At(Command::Pixel, x, y);
    c.color = color;
    return c;
}
inline Command RectOf(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    Command c{Command::Rect};
    c.a = l;
    c.b = t;
    c.c = r;
    c.d = b;
    return c;
}
inline Command ArcOf(ArcSpec spec) {
    Command c{Command::Arc};
    c.arc = spec;
    return c;
}

constexpr TPenStyle AllStyles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
constexpr const char* StyleNames[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};

// Coordinates wine's own GDI still draws exactly: with line deltas of 2^30
// and more its 32-bit error terms overflow. Beyond, our canvas is checked
// against 128-bit arithmetic alone (LineWalkTest).
constexpr std::int64_t OracleCoordinateLimit = std::int64_t{1} << 28;

inline std::int64_t Clamp(std::int64_t v, std::int64_t limit) {
    return v < -limit ? -limit : v > limit ? limit : v;
}

// Segments between random points within `reach` of the bitmap; with `aimed`
// the second end is placed so that the line passes through a random pixel.
inline void AddSegments(Scene& s, Random& rng, int count, std::int64_t reach, bool aimed,
                        std::int64_t limit) {
    for (int i = 0; i < count; ++i) {
        if (i % 37 == 0) s.commands.push_back(PenOf(static_cast<std::uint32_t>(rng.Next() & 0xFFFFFF),
                                                    s.commands.empty() ? psSolid : s.commands[0].style));
        const std::int64_t x1 = rng.Between(-reach, s.width + reach), y1 = rng.Between(-reach, s.height + reach);
        std::int64_t x2, y2;
        if (aimed) {
            const std::int64_t tx = rng.Between(0, s.width - 1), ty = rng.Between(0, s.height - 1);
            const std::int64_t k = rng.Between(1, 3);
            x2 = Clamp(tx + (tx - x1) * k / 2, limit);
            y2 = Clamp(ty + (ty - y1) * k / 2, limit);
        } else {
            x2 = rng.Between(-reach, s.width + reach);
            y2 = rng.Between(-reach, s.height + reach);
        }
        s.commands.push_back(At(Command::Move, Clamp(x1, limit), Clamp(y1, limit)));
        s.commands.push_back(At(Command::Line, x2, y2));
    }
}

inline std::vector<Scene> MakeScenes() {
    std::vector<Scene> scenes;
    const std::int32_t W = 97, H = 71;  // odd sizes: rows are padded
    for (int st = 0; st < 5; ++st) {
        const TPenStyle style = AllStyles[st];
        const std::string tag = StyleNames[st];
        struct Reach {
            const char* name;
            std::int64_t reach;
            bool aimed;
            int count;
        };
        const Reach reaches[] = {{"near", 40, false, 3000},       {"far", 100000, true, 3000},
                                 {"distant", 250000000, true, 2000}, {"octants", 0, false, 0}};
        for (const Reach& r : reaches) {
            Scene s{"segments-" + std::string(r.name) + "-" + tag, W, H, 0xE0E0E0, {}};
            s.commands.push_back(PenOf(0x2040C0, style));
            s.commands.push_back(Colour(Command::Background, 0x30FFFF));
            Random rng(1000 + st * 10 + (&r - reaches));
            if (r.count > 0) {
                AddSegments(s, rng, r.count, r.reach, r.aimed, OracleCoordinateLimit);
            } else {
                // Every direction from the centre, one pixel of slope apart,
                // and ties in all eight octants.
                for (int dx = -30; dx <= 30; dx += 3)
                    for (int dy = -30; dy <= 30; dy += 5) {
                        s.commands.push_back(At(Command::Move, W / 2 + dx % 7, H / 2 + dy % 5));
                        s.commands.push_back(At(Command::Line, W / 2 + dx * 2, H / 2 + dy * 2));
                    }
            }
            scenes.push_back(std::move(s));
        }
        // Polylines: the pattern starts afresh at every LineTo.
        Scene chain{"chains-" + tag, W, H, 0xFFFFFF, {PenOf(0x000000, style), Colour(Command::Background, 0xC0FFC0)}};
        Random rng(2000 + st);
        for (int c = 0; c < 30; ++c) {
            chain.commands.push_back(At(Command::Move, rng.Between(-20, W + 20), rng.Between(-20, H + 20)));
            for (int i = 0; i < 12; ++i)
                chain.commands.push_back(At(Command::Line, rng.Between(-20, W + 20), rng.Between(-20, H + 20)));
        }
        scenes.push_back(std::move(chain));
    }

    // Arcs: the vertex chain is ours in both; the lines between are GDI's.
    {
        const std::int32_t AW = 241, AH = 163;
        std::vector<ArcSpec> arcs = {
            {120, 80, 2, 0, 0, 1, 0},       {120, 80, 9, 0, 0, 1, 0},        {120, 80, 10, 0, 0, 1, 0},
            {120, 80, 50, 0, 90, 1, 0},     {120, 80, 60, 45, 45, 1, 0},     {120, 80, 70, 30, 10, 1, 0},
            {120, 80, 40, 90, 0, 1, 0},     {120, 80, 75, 0, 0, 0.5f, 0},    {120, 80, 75, 0, 0, 0.5f, 90},
            {120, 80, 77, 10, 300, 0.3f, 33}, {120, 80, 3, 0, 20, 1, 0},      {120, 80, -45, 0, 0, 1, 0},
            {120, 80, -45, 20, 200, 0.7f, 10}, {120, 80, 30, 800, 10, 1, 0},   {120, 80, 55, 0, 0, 0, 0},
            {120, 80, 55, 0, 0, -2, 15},    {120, 80, 0.4f, 0, 0, 1, 0},     {120, 80, 1, 0, 0, 1, 0},
            {0, 0, 100, 0, 0, 1, 0},        {240, 162, 100, 0, 0, 1, 0},     {-20, 80, 60, 0, 0, 1, 0},
            {120, 80, 200, 0, 0, 1, 0},     {120, 80, 5000, 0, 0, 0.01f, 0}, {120, -9000, 9080, 0, 0, 1, 0},
            {-30000, 80, 30100, 0, 0, 1, 0}, {120, 80, 70000, 89, 91, 1, 0}, {120.5f, 80.5f, 20.5f, 0, 0, 1, 0},
            {120, 80, 100, 0, 0, 3, 45},    {120, 80, 30, -720, 720, 1, 0},  {120, 80, 60, 359, 1, 1, -30},
        };
        Random rng(3000);
        for (int i = 0; i < 60; ++i)
            arcs.push_back({rng.Real(-50, AW + 50), rng.Real(-50, AH + 50), rng.Real(-300, 300),
                            rng.Real(-400, 400), rng.Real(-400, 400), rng.Real(-0.5f, 2.5f), rng.Real(-180, 180)});
        for (int st = 0; st < 5; ++st) {
            Scene s{std::string("arcs-") + StyleNames[st], AW, AH, 0x202020, {}};
            s.commands.push_back(PenOf(0x80FF40, AllStyles[st]));
            s.commands.push_back(Colour(Command::Background, 0x603000));
            for (std::size_t i = 0; i < arcs.size(); ++i) {
                if (i % 5 == 0) s.commands.push_back(PenOf(0x40 * (i % 4) + 0x3F00FF, AllStyles[st]));
                s.commands.push_back(ArcOf(arcs[i]));
                // A line from where the arc left the position.
                if (i % 7 == 0) s.commands.push_back(At(Command::Line, 0, 0));
            }
            scenes.push_back(std::move(s));
        }
    }

    // Pixels on and off every edge.
    {
        Scene s{"pixels", W, H, 0x000000, {}};
        const std::int64_t xs[] = {-1, 0, 1, W / 2, W - 1, W, INT32_MIN, INT32_MAX};
        const std::int64_t ys[] = {-1, 0, 1, H / 2, H - 1, H, INT32_MIN, INT32_MAX};
        std::uint32_t color = 0x123456;
        for (std::int64_t x : xs)
            for (std::int64_t y : ys) s.commands.push_back(PixelAt(x, y, color += 0x010203));
        scenes.push_back(std::move(s));
    }

    // Rectangles: normal, inverted, thin, empty, over the edges, and the
    // full-bitmap fill of the renderers.
    for (int st = 0; st < 5; ++st) {
        Scene s{std::string("rectangles-") + StyleNames[st], W, H, 0x808080, {}};
        s.commands.push_back(PenOf(0x0000FF, AllStyles[st]));
        s.commands.push_back(Colour(Command::Brush, 0x00FF00));
        s.commands.push_back(Colour(Command::Background, 0xFF0000));
        if (st == 0) {
            s.commands.push_back(PenOf(0xABCDEF, psSolid));
            s.commands.push_back(Colour(Command::Brush, 0xABCDEF));
            s.commands.push_back(RectOf(0, 0, W + 1, H + 1));
            s.commands.push_back(PenOf(0x0000FF, psSolid));
            s.commands.push_back(Colour(Command::Brush, 0x00FF00));
        }
        const std::int32_t rects[][4] = {
            {5, 5, 30, 20},  {40, 30, 35, 25}, {50, 5, 51, 40},  {55, 5, 57, 40}, {60, 5, 90, 6},
            {60, 8, 90, 10}, {70, 20, 70, 30}, {2, 50, 3, 51},   {-5, 60, 10, 80}, {90, -10, 120, 8},
            {10, 25, 13, 28}, {-1000000, 45, 1000000, 48}, {30, -1000000, 33, 1000000},
            {INT32_MIN, 0, INT32_MAX, 4}, {44, 44, 44 + 37, 44 + 19},
        };
        for (const auto& r : rects) s.commands.push_back(RectOf(r[0], r[1], r[2], r[3]));
        scenes.push_back(std::move(s));
    }
    return scenes;
}

// Draws a scene on our canvas (the native side of the comparison).
inline void DrawOnCanvas(const Scene& s, Canvas& canvas) {
    struct Path final : PathSink {
        Canvas& c;
        explicit Path(Canvas& canvas) : c(canvas) {}
        void MoveTo(std::int32_t x, std::int32_t y) override { c.MoveTo(x, y); }
        void LineTo(std::int32_t x, std::int32_t y) override { c.LineTo(x, y); }
    } path(canvas);
    const VisibleArea area{canvas.Width(), canvas.Height()};
    for (const Command& c : s.commands) {
        switch (c.kind) {
        case Command::Pen: canvas.SetPenColor(c.color); canvas.SetPenStyle(c.style); break;
        case Command::Background: canvas.SetBackgroundColor(c.color); break;
        case Command::Brush: canvas.SetBrushColor(c.color); break;
        case Command::Move: canvas.MoveTo(c.a, c.b); break;
        case Command::Line: canvas.LineTo(c.a, c.b); break;
        case Command::Pixel: canvas.SetPixel(c.a, c.b, c.color); break;
        case Command::Rect: canvas.Rectangle(c.a, c.b, c.c, c.d); break;
        case Command::Arc: TraceArc(c.arc, path, &area); break;
        }
    }
}

inline void FillPaper(std::uint8_t* bits, const Scene& s) {
    const std::ptrdiff_t stride = StrideOf(s.width);
    for (std::int32_t y = 0; y < s.height; ++y)
        for (std::int32_t x = 0; x < s.width; ++x) {
            std::uint8_t* p = bits + y * stride + 3 * x;
            p[0] = static_cast<std::uint8_t>(s.paper >> 16);
            p[1] = static_cast<std::uint8_t>(s.paper >> 8);
            p[2] = static_cast<std::uint8_t>(s.paper);
        }
}

}  // namespace pallowin::scenes
