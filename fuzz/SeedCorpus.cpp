// Writes the seed corpus of every fuzz target into DIR/<target>/: drawings
// in both layouts and figures from the fixture writer, the example files,
// and a few broken ones, each behind the control bytes its target reads.
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "tools/examples/ExampleFiles.h"
#include "tools/jwwriter/JwWriter.h"

namespace jw = pallowin::jwwriter;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Seed {
    std::string name;
    Bytes bytes;
};

jw::DrawingSpec BusyDrawing(bool longLayout) {
    jw::DrawingSpec spec;
    spec.memo = "seed";
    spec.longLayout = longLayout;
    spec.lines = {jw::Line(0, 0, 518, 366), jw::Line(10, 300, 400, 20, 3, 2, jw::LayerOf(0, 1)),
                  jw::Line(5, 5, 5, 360, 9, 5, jw::LayerOf(2, 3))};
    spec.arcs = {jw::Circle(259, 183, 100), jw::Arc(100, 100, 50, 30, 270, 0.5, 15, 4, 3),
                 jw::Arc(400, 80, 60, 350, 10, 1, 0, 6, 4, jw::LayerOf(1, 0))};
    spec.texts = {jw::Text(20, 40, 120, 40), jw::Text(30, 60, 30, 160, jw::LayerOf(3, 2))};
    spec.textStrings = {"\x95\xB6\x8E\x9A", "A"};
    spec.points = {jw::Point(200, 200, 7), jw::Point(1, 1, 2, jw::LayerOf(0, 1))};
    spec.groupVisible[2] = 0;
    spec.layerVisible[jw::LayerOf(1, 0)] = 0;
    return spec;
}

jw::FigureSpec BusyFigure() {
    jw::FigureSpec spec;
    spec.memo = "seed";
    spec.lines = {jw::Line(-40, -40, 40, 40), jw::Line(-10, 20, 30, -5, 3, 2)};
    spec.arcs = {jw::Circle(0, 0, 20), jw::Arc(10, 10, 15, 45, 300, 0.4, 30, 5, 3)};
    spec.points = {jw::Point(3, 4, 6), jw::Point(-20, 10, 12)};
    spec.texts = {jw::Text(-30, -30, 10, -30)};
    spec.originX = 40;
    spec.originY = 60;
    spec.scale = 1.5f;
    return spec;
}

std::vector<Seed> Drawings() {
    std::vector<Seed> seeds = {
        {"drawing-long", jw::WriteDrawing(BusyDrawing(true))},
        {"drawing-short", jw::WriteDrawing(BusyDrawing(false))},
        {"drawing-empty", jw::WriteDrawing({})},
    };
    jw::DrawingSpec cut = BusyDrawing(true);
    cut.truncateTo = 2421 + 30;
    seeds.push_back({"drawing-cut", jw::WriteDrawing(cut)});
    jw::DrawingSpec wide = BusyDrawing(false);
    wide.arcs.push_back(jw::Arc(259, 183, 1e6f, 0, 90, 0.001, 1e4));
    wide.lines.push_back(jw::Line(-1e7f, 5, 1e7f, 300));
    seeds.push_back({"drawing-far", jw::WriteDrawing(wide)});
    return seeds;
}

std::vector<Seed> Figures() {
    std::vector<Seed> seeds = {
        {"figure", jw::WriteFigure(BusyFigure())},
        {"figure-empty", jw::WriteFigure({})},
    };
    jw::FigureSpec cut = BusyFigure();
    cut.truncateTo = 400 + 25;
    seeds.push_back({"figure-cut", jw::WriteFigure(cut)});
    jw::FigureSpec odd = BusyFigure();
    odd.scale = 1e-3f;
    odd.arcs.push_back(jw::Arc(0, 0, 5e5f, 10, 20, 3, 45));
    seeds.push_back({"figure-odd", jw::WriteFigure(odd)});
    return seeds;
}

std::vector<Seed> Examples(const char* suffix) {
    std::vector<Seed> seeds;
    for (auto& file : pallowin::examples::ExampleFiles())
        if (file.name.ends_with(suffix)) seeds.push_back({"example-" + file.name, file.bytes});
    return seeds;
}

Bytes Prefixed(Bytes prefix, const Bytes& file) {
    prefix.insert(prefix.end(), file.begin(), file.end());
    return prefix;
}

// Picture targets: width and height (little-endian words) and the mode byte.
Bytes PictureControls(std::uint16_t width, std::uint16_t height, std::uint8_t mode) {
    return {std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
            std::uint8_t(height >> 8), mode};
}

bool Write(const std::filesystem::path& dir, const std::vector<Seed>& seeds) {
    std::filesystem::create_directories(dir);
    bool ok = true;
    for (const Seed& seed : seeds) {
        const auto path = (dir / seed.name).string();
        if (!jw::SaveFile(path, seed.bytes)) {
            std::fprintf(stderr, "pallowin-fuzz-seeds: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

std::vector<Seed> PictureSeeds(const std::vector<Seed>& files, std::uint16_t width,
                               std::uint16_t height) {
    std::vector<Seed> seeds;
    for (const Seed& f : files) {
        seeds.push_back({f.name, Prefixed(PictureControls(width, height, 0), f.bytes)});
        seeds.push_back({f.name + "-view", Prefixed(PictureControls(width / 2, height, 2 | 4), f.bytes)});
        seeds.push_back({f.name + "-preview", Prefixed(PictureControls(0, 0, 1 | 4), f.bytes)});
    }
    return seeds;
}

// Settings values in the order the settings target reads them (System:
// Version, sizes, thumbnail size; Color: Back, Line1-6, Text; Image:
// ViewMode, BakMode, TextMode, NormalSize, jwkSize), one a line.
std::vector<Seed> SettingsSeeds() {
    const auto lines = [](std::initializer_list<const char*> values) {
        std::string text;
        for (const char* v : values) text += std::string(v) + "\n";
        return Bytes(text.begin(), text.end());
    };
    return {
        {"current", lines({"104", "518", "366", "100", "100", "113", "81", "0", "16776960", "16777215",
                           "65280", "65535", "16711935", "16711680", "255", "1", "0", "1"})},
        {"version0", lines({"0", "", "", "", "", "", "", "$FF", "-1", "2147483647", "-2147483648", "0x10",
                            " 7", "7 ", "", "true", "-1", "2", "0,75", "1e3"})},
        {"absent", lines({"\x02", "\x01" "700", "\x02", "9999", "14141", "0", "-5", "\x01" "0"})},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: pallowin-fuzz-seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::vector<Seed> drawings = Drawings(), figures = Figures();
    for (auto& s : Examples(".jwc")) drawings.push_back(std::move(s));
    for (auto& s : Examples(".jwk")) figures.push_back(std::move(s));

    std::vector<Seed> all = drawings;
    all.insert(all.end(), figures.begin(), figures.end());

    std::vector<Seed> checks;
    const std::pair<std::uint8_t, std::string> ways[] = {
        {0, "plan.jwc"}, {1, "PLAN.Bak"}, {1, "old.bak\\plan.jwc"}, {2, "plan.jwk"}, {3, "\x95\x5C.bak"}};
    int n = 0;
    for (const auto& [control, name] : ways) {
        const Seed& file = all[n % all.size()];
        Bytes prefix = {control, std::uint8_t(name.size())};
        prefix.insert(prefix.end(), name.begin(), name.end());
        Bytes first(file.bytes.begin(), file.bytes.begin() + std::min<std::size_t>(file.bytes.size(), 64));
        checks.push_back({"check-" + std::to_string(n++), Prefixed(prefix, first)});
    }

    bool ok = Write(dir / "is_supported", checks);
    ok = Write(dir / "picture_info", all) && ok;
    ok = Write(dir / "drawing_picture", PictureSeeds(drawings, 259, 183)) && ok;
    ok = Write(dir / "figure_picture", PictureSeeds(figures, 100, 100)) && ok;
    ok = Write(dir / "settings_load", SettingsSeeds()) && ok;
    return ok ? 0 : 1;
}
