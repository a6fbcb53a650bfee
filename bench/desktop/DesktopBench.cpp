// What a batch of the desktop tools costs per file: the picture through the
// exports, then the PNG or BMP written; the thumbnailer's picture; info.
// Figures are files per second for each committed example.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Cp932Text.h"
#include "ImageFiles.h"
#include "PluginPictures.h"

namespace {

using namespace pallowin::desktop;

const char* const Examples[] = {"floorplan.jwc", "shed.jwc", "door.jwk", "basin.jwk"};

std::vector<std::uint8_t> Example(int index) {
    std::string error;
    auto file = ReadInputFile(std::string(PALLOWIN_EXAMPLES_DIR) + "/" + Examples[index], error);
    return file ? *file : std::vector<std::uint8_t>{};
}

const std::string Output = std::string(PALLOWIN_BENCH_OUTPUT) + "/desktop-bench";

void RenderAndWrite(benchmark::State& state, ImageFormat format, RenderOptions options) {
    PluginSession session;
    const auto file = Example(static_cast<int>(state.range(0)));
    state.SetLabel(Examples[state.range(0)]);
    const std::string path = Output + (format == ImageFormat::Png ? ".png" : ".bmp");
    for (auto _ : state) {
        DibPicture picture;
        if (!RenderFile(file, "example", options, picture).Ok()) {
            state.SkipWithError("render failed");
            break;
        }
        WriteImage(path, picture, format);
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations());
}

void RenderPng(benchmark::State& state) { RenderAndWrite(state, ImageFormat::Png, {}); }
void RenderBmp(benchmark::State& state) { RenderAndWrite(state, ImageFormat::Bmp, {}); }
void Thumbnail256(benchmark::State& state) {
    RenderOptions options;
    const auto kind = Examples[state.range(0)][std::string(Examples[state.range(0)]).size() - 1] == 'c'
                          ? pallowin::fkDrawing
                          : pallowin::fkFigure;
    const PictureSize fit = FitInSquare(kind, 256);
    options.width = fit.width;
    options.height = fit.height;
    RenderAndWrite(state, ImageFormat::Png, options);
}

void Info(benchmark::State& state) {
    PluginSession session;
    const auto file = Example(static_cast<int>(state.range(0)));
    state.SetLabel(Examples[state.range(0)]);
    for (auto _ : state) {
        PictureDescription description;
        DescribeFile(file, description);
        benchmark::DoNotOptimize(Cp932ToUtf8(description.text));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(RenderPng)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(RenderBmp)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(Thumbnail256)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(Info)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
