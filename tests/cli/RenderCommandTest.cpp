// pallowin render end to end: the files it writes hold exactly the plug-in's
// pixels for the settings its options stand for.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PluginReference.h"
#include "ToolRun.h"

namespace pallowin::clitest {
namespace {

const std::string Cli = PALLOWIN_CLI;
const std::string Examples = PALLOWIN_EXAMPLES_DIR;

struct RenderCase {
    const char* label;
    const char* example;
    std::vector<std::string> options;
    std::function<void(TPluginSettings&)> settings;  // what the options should set
    bool preview;
    int width, height;
};

void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.label; }

const RenderCase RenderCases[] = {
    {"drawing_defaults", "floorplan.jwc", {}, nullptr, false, 518, 366},
    {"drawing_width_keeps_ratio", "floorplan.jwc", {"-w", "259"},
     [](TPluginSettings& s) { s.JWC_W = 259, s.JWC_H = 183; }, false, 259, 183},
    {"drawing_height_keeps_ratio", "floorplan.jwc", {"--height=100"},
     [](TPluginSettings& s) { s.JWC_W = 142, s.JWC_H = 100; }, false, 142, 100},
    {"drawing_both_sizes", "shed.jwc", {"-w", "800", "-h", "400"},
     [](TPluginSettings& s) { s.JWC_W = 800, s.JWC_H = 400; }, false, 800, 400},
    {"drawing_layers_and_colours", "floorplan.jwc",
     {"--layers", "--background", "#FFFFFF", "--line2", "#000000", "--text", "#0000ff", "--line6", "#804020"},
     [](TPluginSettings& s) {
         s.ViewMode = true;
         s.Colors[0] = 0xFFFFFF;
         s.Colors[2] = 0x000000;
         s.Colors[7] = 0xFF0000;
         s.Colors[6] = 0x204080;
     },
     false, 518, 366},
    {"drawing_preview", "floorplan.jwc", {"--preview"}, nullptr, true, 128, 90},
    {"short_layout_drawing", "shed.jwc", {"--layers"}, [](TPluginSettings& s) { s.ViewMode = true; }, false,
     518, 366},
    {"figure_defaults", "door.jwk", {}, nullptr, false, 100, 100},
    {"figure_width_keeps_square", "door.jwk", {"-w", "301"},
     [](TPluginSettings& s) { s.JWK_W = 301, s.JWK_H = 301; }, false, 301, 301},
    {"figure_colours", "basin.jwk", {"--line1", "#123456", "--background=#F0F0F0"},
     [](TPluginSettings& s) {
         s.Colors[1] = 0x563412;
         s.Colors[0] = 0xF0F0F0;
     },
     false, 100, 100},
    {"figure_preview", "basin.jwk", {"--preview"}, nullptr, true, 128, 90},
};

class RenderCommand : public ::testing::TestWithParam<RenderCase> {
protected:
    HostPicture Expected() const {
        TPluginSettings settings = DefaultSettings;
        if (GetParam().settings) GetParam().settings(settings);
        return PictureFromPlugin(ReadBytes(Examples + "/" + GetParam().example), settings,
                                 GetParam().preview);
    }
    ToolResult Render(const std::string& output) const {
        std::vector<std::string> argv = {Cli, "render"};
        argv.insert(argv.end(), GetParam().options.begin(), GetParam().options.end());
        argv.push_back(Examples + "/" + GetParam().example);
        argv.push_back("-o");
        argv.push_back(output);
        return RunTool(argv);
    }
    std::string dir_ = MakeTempDir("render");
};

TEST_P(RenderCommand, PngHoldsThePluginsPixels) {
    const std::string output = dir_ + "/out.png";
    ToolResult run = Render(output);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");

    HostPicture expected = Expected();
    ASSERT_EQ(expected.result, 0);
    ASSERT_EQ(expected.width, GetParam().width);
    ASSERT_EQ(expected.height, GetParam().height);

    RgbImage png;
    ASSERT_TRUE(ReadPng(output, png));
    ASSERT_EQ(png.width, expected.width);
    ASSERT_EQ(png.height, expected.height);
    for (int y = 0; y < png.height; ++y) {
        const std::uint8_t* dib = expected.bits.data() + (png.height - 1 - y) * expected.Stride();
        for (int x = 0; x < png.width; ++x) {
            const std::uint8_t* rgb = png.rgb.data() + (static_cast<std::size_t>(y) * png.width + x) * 3;
            if (rgb[0] != dib[3 * x + 2] || rgb[1] != dib[3 * x + 1] || rgb[2] != dib[3 * x])
                FAIL() << "first differing pixel at (" << x << ", " << y << ")";
        }
    }
}

TEST_P(RenderCommand, BmpIsThePluginsHeaderAndRows) {
    const std::string output = dir_ + "/out.BMP";
    ToolResult run = Render(output);
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    HostPicture expected = Expected();
    ASSERT_EQ(expected.result, 0);
    std::vector<std::uint8_t> bmp = ReadBytes(output);
    const std::size_t pixels = expected.bits.size();
    ASSERT_EQ(bmp.size(), 54 + pixels);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    const auto le32 = [&](std::size_t at) { return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24; };
    EXPECT_EQ(static_cast<std::size_t>(le32(2)), 54 + pixels);
    EXPECT_EQ(le32(10), 54);
    EXPECT_TRUE(std::equal(expected.header.begin(), expected.header.end(), bmp.begin() + 14));
    EXPECT_TRUE(std::equal(expected.bits.begin(), expected.bits.end(), bmp.begin() + 54));
}

INSTANTIATE_TEST_SUITE_P(Examples, RenderCommand, ::testing::ValuesIn(RenderCases),
                         [](const auto& param) { return std::string(param.param.label); });

// The examples must show something, and the floor plan's hidden layers must
// be there for --layers to leave out.
TEST(RenderExamples, DrawSomethingAndHideLayers) {
    TPluginSettings layered = DefaultSettings;
    layered.ViewMode = true;
    for (const char* name : {"floorplan.jwc", "shed.jwc", "door.jwk", "basin.jwk"}) {
        HostPicture all = PictureFromPlugin(ReadBytes(Examples + "/" + name), DefaultSettings, false);
        ASSERT_EQ(all.result, 0) << name;
        std::size_t lit = 0;
        for (std::uint8_t byte : all.bits) lit += byte != 0;
        EXPECT_GT(lit, all.bits.size() / 100) << name << " is nearly empty";
    }
    const auto plan = ReadBytes(Examples + "/floorplan.jwc");
    EXPECT_NE(PictureFromPlugin(plan, DefaultSettings, false).bits,
              PictureFromPlugin(plan, layered, false).bits);
}

}  // namespace
}  // namespace pallowin::clitest
