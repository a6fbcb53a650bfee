// Render throughput and memory of whole picture requests. Usage:
//   render_bench [seconds per case, default 0.5]
// Each case: one drawing of N records (mostly lines, a fifth arcs, some texts
// and points, pens in runs as CAD files have them), rendered through
// GetPicture/GetPreview from memory. Memory is the heap the request takes on
// top of what lived before it (every operator new counted), and the growth of
// the resident set (peak reset through /proc/self/clear_refs).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "drawing/ArcPath.h"
#include "drawing/PixelMapping.h"
#include "drawing/Renderers.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "tools/jwwriter/JwWriter.h"

// ---- heap accounting -------------------------------------------------------
namespace {
std::size_t liveBytes = 0, peakBytes = 0, allocationCount = 0;

void* Counted(std::size_t n) {
    void* p = std::malloc(n + 16);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    liveBytes += n;
    ++allocationCount;
    if (liveBytes > peakBytes) peakBytes = liveBytes;
    return static_cast<char*>(p) + 16;
}
void Uncounted(void* p) {
    if (!p) return;
    char* base = static_cast<char*>(p) - 16;
    liveBytes -= *reinterpret_cast<std::size_t*>(base);
    std::free(base);
}
}  // namespace

void* operator new(std::size_t n) { return Counted(n); }
void* operator new[](std::size_t n) { return Counted(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try { return Counted(n); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try { return Counted(n); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { Uncounted(p); }

using namespace pallowin;

namespace {

// ---- the generated drawings ------------------------------------------------
jwwriter::DrawingSpec Generate(int records, unsigned seed) {
    std::mt19937 rng(seed);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto chance = [&](double p) { return uniform(0, 1) < p; };
    jwwriter::DrawingSpec spec;
    std::uint8_t color = 1, lineType = 1, layer = 0;
    for (int i = 0; i < records; ++i) {
        if (chance(0.05)) {  // a new run of like records
            color = std::uint8_t(1 + rng() % 9);
            lineType = chance(0.7) ? 1 : std::uint8_t(2 + rng() % 8);
            layer = std::uint8_t(rng() % 32);
        }
        const double kind = uniform(0, 1);
        const float x = float(uniform(5, 513)), y = float(uniform(5, 361));
        if (kind < 0.70) {
            const double len = uniform(2, 60), a = uniform(0, 6.283185307);
            spec.lines.push_back(jwwriter::Line(x, y, float(x + len * std::cos(a)), float(y + len * std::sin(a)),
                                                color, lineType, layer));
        } else if (kind < 0.90) {
            const float r = float(uniform(0.5, 40));
            if (chance(0.5))
                spec.arcs.push_back(jwwriter::Circle(x, y, r, color, lineType, layer));
            else
                spec.arcs.push_back(jwwriter::Arc(x, y, r, uniform(0, 360), uniform(0, 360),
                                                  chance(0.5) ? 1.0 : uniform(0.1, 1), uniform(0, 90),
                                                  color, lineType, layer));
        } else if (kind < 0.96) {
            spec.texts.push_back(jwwriter::Text(x, y, float(x + uniform(3, 40)), y, layer));
        } else {
            spec.points.push_back(jwwriter::Point(x, y, color, layer));
        }
    }
    return spec;
}

// Vertices the arcs compute at this picture size: the start, the chain and
// the end of each drawn arc.
double ArcVertices(const jwwriter::DrawingSpec& spec, int w, int h) {
    const float s = SheetScale(w, h, 518, 366);
    double total = 0;
    for (const TArcRec& a : spec.arcs) {
        const ArcSpec arc{float(CheckedRound((long double)a.X * s)),
                          float(CheckedRound((366 - (long double)a.Y) * s)),
                          float(CheckedRound((long double)a.Radius * s)),
                          float(a.StartAngle / 65536.0L), float(a.EndAngle / 65536.0L),
                          float(a.Flatness / 10000.0L), float(a.Tilt / 65536.0L)};
        const long double n = ArcSegmentCount(arc);
        if (n == n) total += n >= 0 ? double(n) + 3 : 2;
    }
    return total;
}

struct PenCount : ProgressSink {
    long changes = 0;
    void Report(std::int32_t) override {}
    void PenColorSelected(std::int32_t) override { ++changes; }
    void PenStyleSelected(std::int32_t) override { ++changes; }
};

long PenChanges(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> bits(128 * 3 * 90);
    Canvas canvas(bits.data(), 128, 90, 384, RowOrder::BottomUp);
    PenCount count;
    DrawDrawing(ParseDrawingHeader(file), PluginSettings, canvas, &count);
    return count.changes;
}

long ProcStatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return -1;
}
bool ResetPeakRss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear);
}

struct Request {
    std::int32_t rc = -99;
    platform::HostBlock info = nullptr, bits = nullptr;
};

Request Render(const std::vector<std::uint8_t>& file, bool preview) {
    Request r;
    r.rc = (preview ? GetPreview : GetPicture)(reinterpret_cast<const char*>(file.data()),
                                               HostValue(file.size()), 1, &r.info, &r.bits, nullptr, 0);
    return r;
}
void Release(Request& r) {
    platform::FreeHostBlock(r.info);
    platform::FreeHostBlock(r.bits);
}

}  // namespace

int main(int argc, char** argv) {
    const double secondsPerCase = argc > 1 ? std::atof(argv[1]) : 0.5;
    if (!PluginStartup()) return 1;
    PluginSettings = DefaultSettings;

    struct Size {
        const char* name;
        int w, h;
        bool preview;
    };
    const Size sizes[] = {{"518x366", 518, 366, false}, {"4000x2800", 4000, 2800, false},
                          {"preview", 128, 90, true}};
    std::printf("%-8s %-10s %9s %11s %13s %15s %7s %6s %11s %11s %11s %9s %s\n", "records", "picture",
                "ms/call", "records/s", "arc vertices", "arc vertices/s", "pens", "allocs",
                "pixel KiB", "heap KiB", "RSS +KiB", "limit KiB", "");
    bool allWithin = true;
    // The empty drawing gives the fixed cost of a request: blocks, fill, header.
    for (int records : {0, 1000, 10000, 100000}) {
        const jwwriter::DrawingSpec spec = Generate(records, 20261211u + records);
        const std::vector<std::uint8_t> file = jwwriter::WriteDrawing(spec);
        std::vector<std::uint8_t> first(file.begin(), file.begin() + 2048);
        if (IsSupported("bench.jwc", first.data()) != 1) return 1;
        const long pens = PenChanges(file);
        for (const Size& size : sizes) {
            PluginSettings.JWC_W = size.w;
            PluginSettings.JWC_H = size.h;
            // One measured request for memory, then timed repeats.
            const std::size_t liveBefore = liveBytes, countBefore = allocationCount;
            peakBytes = liveBytes;
            const bool rssReset = ResetPeakRss();
            const long rssBefore = ProcStatusKb("VmRSS:");
            Request r = Render(file, size.preview);
            const long rssPeak = ProcStatusKb("VmHWM:");
            const std::size_t heapPeak = peakBytes - liveBefore;
            const std::size_t allocations = allocationCount - countBefore;
            if (r.rc != 0) {
                std::printf("request failed: %d\n", r.rc);
                return 1;
            }
            Release(r);

            int calls = 0;
            const auto start = std::chrono::steady_clock::now();
            double elapsed = 0;
            do {
                Request t = Render(file, size.preview);
                Release(t);
                ++calls;
                elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            } while (elapsed < secondsPerCase || calls < 3);
            const double perCall = elapsed / calls;
            const int stride = (size.w * 3 + 3) / 4 * 4;
            const double pixelBlock = double(stride) * size.h;
            // Memory mode draws from the host's bytes: no file image is made.
            const double limit = pixelBlock + 1024.0 * 1024;
            const bool within = double(heapPeak) <= limit;
            allWithin = allWithin && within;
            const double vertices = ArcVertices(spec, size.w, size.h);
            std::printf("%-8d %-10s %9.3f %11.3g %13.0f %15.3g %7ld %6zu %11.0f %11.0f %11s %9.0f %s\n",
                        records, size.name, perCall * 1e3, records / perCall, vertices, vertices / perCall,
                        pens, allocations, pixelBlock / 1024, heapPeak / 1024.0,
                        rssReset ? std::to_string(rssPeak - rssBefore).c_str() : "n/a", limit / 1024,
                        within ? "within" : "OVER");
        }
    }
    // File mode reads the whole file once: the image joins the pixel block.
    {
        const jwwriter::DrawingSpec spec = Generate(100000, 7u);
        const std::vector<std::uint8_t> file = jwwriter::WriteDrawing(spec);
        const std::string path = "/tmp/pallowin-render-bench.jwc";
        if (!jwwriter::SaveFile(path, file)) return 1;
        std::vector<std::uint8_t> first(file.begin(), file.begin() + 2048);
        if (IsSupported(path.c_str(), first.data()) != 1) return 1;
        PluginSettings.JWC_W = 518;
        PluginSettings.JWC_H = 366;
        const std::size_t liveBefore = liveBytes;
        peakBytes = liveBytes;
        Request r;
        const auto start = std::chrono::steady_clock::now();
        r.rc = GetPicture(path.c_str(), 0, 0, &r.info, &r.bits, nullptr, 0);
        const double ms = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 1e3;
        if (r.rc != 0) return 1;
        Release(r);
        const double limit = 1556.0 * 366 + double(file.size()) + 1024.0 * 1024;
        const bool within = double(peakBytes - liveBefore) <= limit;
        allWithin = allWithin && within;
        std::printf("file mode, 100000 records, 518x366: %.3f ms, file image %zu KiB, heap %.0f KiB, limit %.0f KiB %s\n",
                    ms, file.size() / 1024, (peakBytes - liveBefore) / 1024.0, limit / 1024,
                    within ? "within" : "OVER");
        std::remove(path.c_str());
    }
    PluginShutdown();
    std::printf("peak heap %s the pixel block + the file image + 1 MiB in every case\n",
                allWithin ? "stays within" : "EXCEEDS");
    return allWithin ? 0 : 2;
}
