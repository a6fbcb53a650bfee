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

#include "bench/CallMeasure.h"
#include "drawing/JwFormat.h"
#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "tools/jwwriter/JwWriter.h"

int main(int argc, char** argv) {
    if (argc > 1) pallowin::bench::secondsPerCase = std::atof(argv[1]);
    using namespace pallowin;
    using bench::Measure;
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
