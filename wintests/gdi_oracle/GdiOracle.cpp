// Draws the shared canvas scenes through the platform's GDI on 24-bit DIB
// sections and writes each one's pixel rows to <dir>/<scene>.bgr, for the
// native canvas test to compare byte for byte. Arcs use our own vertex chain
// (the arithmetic is ours either way), drawn with GDI's LineTo.
//   gdi_oracle DIR
//   gdi_oracle --bench   prints GDI's speed on the benchmark's work
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/canvas/BenchWork.h"
#include "tests/canvas/Scenes.h"

using namespace pallowin;
using namespace pallowin::scenes;

namespace {

int GdiStyle(TPenStyle style) {
    switch (style) {
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    default: return PS_SOLID;
    }
}

// A memory DC with a bottom-up 24-bit DIB section selected, in the state our
// canvas starts in: solid black pen, white brush, opaque white background.
class DibTarget {
public:
    DibTarget(std::int32_t width, std::int32_t height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, 0xFFFFFF);
        SetROP2(dc_, R2_COPYPEN);
        SetPen(0, psSolid);
        SetBrush(0xFFFFFF);
    }
    ~DibTarget() {
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
        if (pen_) DeleteObject(pen_);
        if (brush_) DeleteObject(brush_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool Ok() const { return dc_ && bitmap_ && bits_; }
    HDC Dc() const { return dc_; }
    std::uint8_t* Bits() const { return static_cast<std::uint8_t*>(bits_); }

    void SetPen(std::uint32_t color, TPenStyle style) {
        HPEN pen = CreatePen(GdiStyle(style), 1, color);
        SelectObject(dc_, pen);
        if (pen_) DeleteObject(pen_);
        pen_ = pen;
    }
    void SetBrush(std::uint32_t color) {
        HBRUSH brush = CreateSolidBrush(color);
        SelectObject(dc_, brush);
        if (brush_) DeleteObject(brush_);
        brush_ = brush;
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    void* bits_ = nullptr;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
};

class GdiPath final : public PathSink {
public:
    explicit GdiPath(HDC dc) : dc_(dc) {}
    void MoveTo(std::int32_t x, std::int32_t y) override { MoveToEx(dc_, x, y, nullptr); }
    void LineTo(std::int32_t x, std::int32_t y) override { ::LineTo(dc_, x, y); }

private:
    HDC dc_;
};

void Draw(const Scene& s, DibTarget& target) {
    HDC dc = target.Dc();
    GdiPath path(dc);
    for (const Command& c : s.commands) {
        switch (c.kind) {
        case Command::Pen: target.SetPen(c.color, c.style); break;
        case Command::Background: SetBkColor(dc, c.color); break;
        case Command::Brush: target.SetBrush(c.color); break;
        case Command::Move: MoveToEx(dc, c.a, c.b, nullptr); break;
        case Command::Line: LineTo(dc, c.a, c.b); break;
        case Command::Pixel: SetPixel(dc, c.a, c.b, c.color); break;
        case Command::Rect: Rectangle(dc, c.a, c.b, c.c, c.d); break;
        case Command::Arc: TraceArc(c.arc, path, nullptr); break;
        }
    }
    GdiFlush();
}

// Wine takes a Unix path as relative to the current drive; Z: is its root.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& ch : path)
        if (ch == '/') ch = '\\';
    return path;
}

int WriteScenes(const std::string& dir) {
    CreateDirectoryA(dir.c_str(), nullptr);
    int failures = 0;
    for (const Scene& s : MakeScenes()) {
        DibTarget target(s.width, s.height);
        if (!target.Ok()) {
            std::printf("scene %s: no DIB section\n", s.name.c_str());
            ++failures;
            continue;
        }
        FillPaper(target.Bits(), s);
        Draw(s, target);
        const std::string file = dir + "\\" + s.name + ".bgr";
        FILE* out = std::fopen(file.c_str(), "wb");
        const std::size_t size = static_cast<std::size_t>(StrideOf(s.width)) * s.height;
        if (!out || std::fwrite(target.Bits(), 1, size, out) != size) {
            std::printf("scene %s: cannot write %s\n", s.name.c_str(), file.c_str());
            ++failures;
        }
        if (out) std::fclose(out);
    }
    std::printf("gdi_oracle: %d scenes written to %s, %d failed\n", static_cast<int>(MakeScenes().size()),
                dir.c_str(), failures);
    return failures == 0 ? 0 : 1;
}

// The thread's own processor time, as the native benchmark measures.
double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;
}

// One warm-up pass, then passes until about a second has gone by.
template <class Pass>
double PerSecond(std::size_t itemsPerPass, Pass pass) {
    double seconds = 0;
    long long items = 0;
    for (int n = 0; n < 100000 && seconds < 1.0; ++n) {
        const double began = ThreadSeconds();
        pass();
        GdiFlush();
        if (n == 0) continue;
        seconds += ThreadSeconds() - began;
        items += static_cast<long long>(itemsPerPass);
    }
    return items / seconds;
}

int Bench() {
    DibTarget target(bench::BitmapWidth, bench::BitmapHeight);
    if (!target.Ok()) return 1;
    const auto segments = bench::Segments();
    const auto arcs = bench::Arcs();
    HDC dc = target.Dc();
    for (TPenStyle style : {psSolid, psDash}) {
        target.SetPen(0x3366CC, style);
        SetBkColor(dc, 0xFFFFFF);
        const double rate = PerSecond(segments.size(), [&] {
            for (const bench::Segment& sg : segments) {
                MoveToEx(dc, sg.x1, sg.y1, nullptr);
                LineTo(dc, sg.x2, sg.y2);
            }
        });
        std::printf("gdi %s_segments_per_second %.0f\n", style == psSolid ? "solid" : "dashed", rate);
    }
    {
        DibTarget small(bench::SmallWidth, bench::SmallHeight);
        if (!small.Ok()) return 1;
        const auto smallSegments = bench::Segments(bench::SmallWidth, bench::SmallHeight);
        small.SetPen(0x3366CC, psSolid);
        HDC smallDc = small.Dc();
        const double rate = PerSecond(smallSegments.size(), [&] {
            for (const bench::Segment& sg : smallSegments) {
                MoveToEx(smallDc, sg.x1, sg.y1, nullptr);
                LineTo(smallDc, sg.x2, sg.y2);
            }
        });
        std::printf("gdi solid_segments_in_cache_per_second %.0f\n", rate);
    }
    target.SetPen(0x3366CC, psSolid);
    GdiPath path(dc);
    const double arcRate = PerSecond(arcs.size(), [&] {
        for (const ArcSpec& a : arcs) TraceArc(a, path, nullptr);
    });
    std::printf("gdi arcs_per_second %.0f\n", arcRate);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--bench") == 0) return Bench();
    if (argc != 2) {
        std::printf("usage: gdi_oracle DIR | --bench\n");
        return 2;
    }
    return WriteScenes(WindowsPath(argv[1]));
}
