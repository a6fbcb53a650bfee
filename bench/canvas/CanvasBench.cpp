// Speed of the canvas on the benchmark's work: segments of about 50 pixels,
// solid and dashed, and arcs of radius 10 to 500 on a 2000 x 1400 bitmap.
// Prints "canvas <figure> <per second>" lines; compare.sh sets them beside
// GDI's under wine.
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/canvas/BenchWork.h"
#include "drawing/Strokes.h"

using namespace pallowin;

namespace {

// The thread's own processor time: the machine is shared with builds, and
// GDI's figures under wine are taken the same way.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One warm-up pass, then passes until about a second has gone by.
template <class Pass>
double PerSecond(std::size_t itemsPerPass, Pass pass) {
    double seconds = 0;
    long long items = 0;
    for (int n = 0; n < 100000 && seconds < 1.0; ++n) {
        const double began = ThreadSeconds();
        pass();
        if (n == 0) continue;
        seconds += ThreadSeconds() - began;
        items += static_cast<long long>(itemsPerPass);
    }
    return items / seconds;
}

}  // namespace

int main() {
    const std::int32_t W = bench::BitmapWidth, H = bench::BitmapHeight;
    const std::ptrdiff_t stride = scenes::StrideOf(W);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * H, 0xFF);
    Canvas canvas(bits.data(), W, H, stride, RowOrder::BottomUp);
    const std::int32_t colors[8] = {0xFFFFFF, 0x3366CC, 0, 0, 0, 0, 0, 0};
    Strokes strokes(canvas, colors);
    const auto segments = bench::Segments();
    const auto arcs = bench::Arcs();

    strokes.SelectPenColor(1);
    for (std::int32_t lineType : {1, 4}) {
        strokes.SelectPenStyle(lineType);
        const double rate = PerSecond(segments.size(), [&] {
            for (const bench::Segment& s : segments) strokes.DrawSegment(s.x1, s.y1, s.x2, s.y2);
        });
        std::printf("canvas %s_segments_per_second %.0f\n", lineType == 1 ? "solid" : "dashed", rate);
    }
    {
        const std::ptrdiff_t smallStride = scenes::StrideOf(bench::SmallWidth);
        std::vector<std::uint8_t> small(static_cast<std::size_t>(smallStride) * bench::SmallHeight, 0xFF);
        Canvas smallCanvas(small.data(), bench::SmallWidth, bench::SmallHeight, smallStride, RowOrder::BottomUp);
        Strokes smallStrokes(smallCanvas, colors);
        const auto smallSegments = bench::Segments(bench::SmallWidth, bench::SmallHeight);
        smallStrokes.SelectPenColor(1);
        smallStrokes.SelectPenStyle(1);
        const double rate = PerSecond(smallSegments.size(), [&] {
            for (const bench::Segment& s : smallSegments) smallStrokes.DrawSegment(s.x1, s.y1, s.x2, s.y2);
        });
        std::printf("canvas solid_segments_in_cache_per_second %.0f\n", rate);
    }
    strokes.SelectPenStyle(1);
    const double arcRate = PerSecond(arcs.size(), [&] {
        for (const ArcSpec& a : arcs)
            strokes.DrawArc(a.centreX, a.centreY, a.radius, a.startAngle, a.endAngle, a.flatness, a.tilt);
    });
    std::printf("canvas arcs_per_second %.0f\n", arcRate);
    // Keeps the drawing from being optimised away.
    unsigned sum = 0;
    for (std::size_t i = 0; i < bits.size(); i += 4099) sum += bits[i];
    std::fprintf(stderr, "checksum %u\n", sum);
    return 0;
}
