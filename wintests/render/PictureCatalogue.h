// Pictures rendered both by the 64-bit DLL under wine64 and natively, which
// must come out byte for byte the same: generated drawings and figures with
// every pen, arcs small and large, records off the sheet, both layouts.
// Generation uses integer arithmetic only, so both builds write the very
// same files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/JwFormat.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin::catalogue {

struct PictureCase {
    std::string name;
    TFileKind kind;
    std::vector<std::uint8_t> file;
    bool preview;
};

// The settings the catalogue is rendered under: the defaults, and one set
// with large and uneven picture sizes, other colours and ViewMode on.
struct Settings {
    const char* tag;
    std::int32_t jwcW, jwcH, jwkW, jwkH;
    std::int32_t colors[8];
    bool viewMode;
};

inline std::vector<Settings> SettingsVariants() {
    return {
        {"default", 518, 366, 100, 100, {0, 16776960, 16777215, 65280, 65535, 16711935, 16711680, 255}, false},
        {"custom", 1000, 700, 333, 250, {0xF0F0F0, 0x202020, 0x0000C0, 0x00A000, 0xC00000, 0x808000, 0x008080, 0x4040FF},
         true},
    };
}

class Lcg {
public:
    explicit Lcg(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    // A value in [lo, hi) in steps of 1/100.
    float Between(int lo, int hi) {
        const std::uint32_t span = static_cast<std::uint32_t>((hi - lo) * 100);
        return static_cast<float>(static_cast<int>(Next() % span) + lo * 100) / 100.0f;
    }
    std::uint8_t Byte(int below) { return static_cast<std::uint8_t>(Next() % below); }

private:
    std::uint64_t state_;
};

inline TArcRec RandomArc(Lcg& rng, int maxRadius) {
    const float r = rng.Between(0, maxRadius) + 0.3f;
    const double start = static_cast<double>(rng.Next() % 3600) / 10;
    const double end = rng.Byte(4) == 0 ? start : static_cast<double>(rng.Next() % 3600) / 10;
    const double flatness = rng.Byte(3) == 0 ? 1.0 : static_cast<double>(rng.Next() % 12000) / 10000 - 0.1;
    const double tilt = static_cast<double>(static_cast<int>(rng.Next() % 7200) - 3600) / 10;
    return jwwriter::Arc(rng.Between(-50, 570), rng.Between(-50, 420), r, start, end, flatness, tilt,
                         rng.Byte(11), rng.Byte(12));
}

inline jwwriter::DrawingSpec MixedDrawing(std::uint64_t seed, int records) {
    Lcg rng(seed);
    jwwriter::DrawingSpec spec;
    spec.memo = "catalogue";
    spec.groupVisible[1] = 0;  // layers 16 to 31 hidden under ViewMode
    spec.layerVisible[5] = 0;
    spec.layerVisible[7] = 2;
    for (int i = 0; i < records; ++i) {
        switch (rng.Byte(10)) {
            case 0: case 1: case 2: case 3: case 4: case 5:
                spec.lines.push_back(jwwriter::Line(rng.Between(-30, 550), rng.Between(-30, 400),
                                                    rng.Between(-30, 550), rng.Between(-30, 400),
                                                    rng.Byte(11), rng.Byte(12), rng.Byte(40)));
                break;
            case 6: case 7:
                spec.arcs.push_back(RandomArc(rng, 120));
                break;
            case 8:
                spec.texts.push_back(jwwriter::Text(rng.Between(0, 518), rng.Between(0, 366),
                                                    rng.Between(0, 518), rng.Between(0, 366), rng.Byte(40)));
                break;
            default:
                spec.points.push_back(
                    jwwriter::Point(rng.Between(0, 518), rng.Between(0, 366), rng.Byte(12), rng.Byte(40)));
                break;
        }
    }
    return spec;
}

inline jwwriter::FigureSpec MixedFigure(std::uint64_t seed, int records, float ox, float oy, float scale) {
    Lcg rng(seed);
    jwwriter::FigureSpec spec;
    spec.originX = ox;
    spec.originY = oy;
    spec.scale = scale;
    for (int i = 0; i < records; ++i) {
        switch (rng.Byte(6)) {
            case 0: case 1: case 2:
                spec.lines.push_back(jwwriter::Line(rng.Between(-60, 60), rng.Between(-60, 60), rng.Between(-60, 60),
                                                    rng.Between(-60, 60), rng.Byte(11), rng.Byte(12)));
                break;
            case 3: {
                TArcRec arc = RandomArc(rng, 40);
                arc.X -= 260;
                arc.Y -= 180;
                spec.arcs.push_back(arc);
                break;
            }
            case 4:
                spec.points.push_back(jwwriter::Point(rng.Between(-50, 50), rng.Between(-50, 50), rng.Byte(12)));
                break;
            default:
                spec.texts.push_back(jwwriter::Text(rng.Between(-50, 50), rng.Between(-50, 50),
                                                    rng.Between(-50, 50), rng.Between(-50, 50)));
                break;
        }
    }
    return spec;
}

inline std::vector<PictureCase> Cases() {
    jwwriter::DrawingSpec bigArcs;
    Lcg rng(99);
    for (int i = 0; i < 60; ++i) bigArcs.arcs.push_back(RandomArc(rng, 1500));
    jwwriter::DrawingSpec shortLayout = MixedDrawing(7, 150);
    shortLayout.longLayout = false;

    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> drawings = {
        {"mixed-drawing", jwwriter::WriteDrawing(MixedDrawing(2026, 700))},
        {"big-arcs", jwwriter::WriteDrawing(bigArcs)},
        {"short-layout", jwwriter::WriteDrawing(shortLayout)},
    };
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> figures = {
        {"figure", jwwriter::WriteFigure(MixedFigure(11, 200, 37.25f, 61.75f, 0.733333f))},
        {"figure-enlarged", jwwriter::WriteFigure(MixedFigure(12, 120, 50, 50, 2.5f))},
    };
    std::vector<PictureCase> cases;
    for (bool preview : {false, true}) {
        for (const auto& [name, file] : drawings) cases.push_back({name, fkDrawing, file, preview});
        for (const auto& [name, file] : figures) cases.push_back({name, fkFigure, file, preview});
    }
    return cases;
}

// Where the picture of a case is written: its BITMAPINFOHEADER, then its
// pixel block.
inline std::string PictureFileName(const Settings& settings, const PictureCase& c) {
    return std::string(settings.tag) + "-" + c.name + (c.preview ? "-preview" : "") + ".bin";
}

}  // namespace pallowin::catalogue
