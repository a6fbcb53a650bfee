// Per-call time and heap allocations of reading file headers and of the
// picture information a host asks for every file of a folder it lists.
// Usage: formats_bench [seconds per case, default 0.3]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "drawing/JwFormat.h"
#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "tools/jwwriter/JwWriter.h"

namespace {
std::size_t allocationCount = 0;
}

void* operator new(std::size_t n) {
    ++allocationCount;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Clock = std::chrono::steady_clock;
double secondsPerCase = 0.3;

void Measure(const std::string& label, const std::function<void()>& call) {
    call();  // warm
    std::size_t calls = 0;
    const std::size_t allocationsBefore = allocationCount;
    const auto start = Clock::now();
    auto now = start;
    do {
        for (int i = 0; i < 16; ++i) call();
        calls += 16;
        now = Clock::now();
    } while (std::chrono::duration<double>(now - start).count() < secondsPerCase);
    const double ns = std::chrono::duration<double, std::nano>(now - start).count() / calls;
    std::printf("%-52s %12.1f ns/call %8.2f allocations/call\n", label.c_str(), ns,
                static_cast<double>(allocationCount - allocationsBefore) / calls);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) secondsPerCase = std::atof(argv[1]);
    using namespace pallowin;
    using namespace pallowin::jwwriter;

    for (int records : {0, 10000, 1000000}) {
        DrawingSpec spec;
        spec.lines.assign(records, Line(1, 2, 3, 4));
        spec.texts.assign(records / 10, Text(1, 1, 2, 1));
        const auto file = WriteDrawing(spec);
        Measure("ParseDrawingHeader, " + std::to_string(records) + " lines, " + std::to_string(file.size()) +
                    " bytes",
                [&] { ParseDrawingHeader(file); });
    }
    FigureSpec figure;
    figure.lines.assign(1000, Line(0, 0, 1, 1));
    const auto figureFile = WriteFigure(figure);
    Measure("ParseFigureHeader, 1000 lines", [&] { ParseFigureHeader(figureFile); });

    platform::portable::ClearRegistry();
    PluginStartup();
    DrawingSpec spec;
    spec.memo = "\x90\x7D\x96\xCA";
    spec.lines.assign(2000, Line(1, 2, 3, 4));
    const auto drawing = WriteDrawing(spec);
    PictureInfo info;
    Measure("GetPictureInfo, memory image, drawing", [&] {
        GetPictureInfo(reinterpret_cast<const char*>(drawing.data()), static_cast<HostValue>(drawing.size()), 1,
                       &info);
        platform::FreeHostBlock(info.InfoText);
    });

    char path[] = "/tmp/pallowin-formats-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) {
        close(fd);
        SaveFile(path, drawing);
        Measure("GetPictureInfo, file (open, 3 reads, close)", [&] {
            GetPictureInfo(path, 0, 0, &info);
            platform::FreeHostBlock(info.InfoText);
        });
        unlink(path);
    }
    PluginShutdown();

    Measure("WriteDrawing, 2000 lines", [&] { WriteDrawing(spec); });
    return 0;
}
