// Our canvas against the platform's GDI: each shared scene drawn here must
// equal, byte for byte, the pixels the Windows oracle wrote for it.
// The oracle's folder comes from PALLOWIN_GDI_ORACLE_DIR.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/canvas/Scenes.h"

namespace pallowin::scenes {
namespace {

const std::vector<Scene>& AllScenes() {
    static const std::vector<Scene> scenes = MakeScenes();
    return scenes;
}

class GdiOracle : public ::testing::TestWithParam<std::size_t> {};

TEST_P(GdiOracle, SceneMatchesByteForByte) {
    const Scene& s = AllScenes()[GetParam()];
    const char* dir = std::getenv("PALLOWIN_GDI_ORACLE_DIR");
    if (!dir) GTEST_SKIP() << "PALLOWIN_GDI_ORACLE_DIR is not set";
    std::ifstream in(std::string(dir) + "/" + s.name + ".bgr", std::ios::binary);
    ASSERT_TRUE(in) << "no oracle pixels for scene " << s.name << " in " << dir;
    const std::vector<std::uint8_t> want((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::ptrdiff_t stride = StrideOf(s.width);
    ASSERT_EQ(want.size(), static_cast<std::size_t>(stride * s.height)) << s.name;

    std::vector<std::uint8_t> got(want.size());
    FillPaper(got.data(), s);
    Canvas canvas(got.data(), s.width, s.height, stride, RowOrder::BottomUp);
    DrawOnCanvas(s, canvas);

    std::size_t differing = 0;
    std::ostringstream first;
    for (std::int32_t row = 0; row < s.height; ++row)
        for (std::int32_t x = 0; x < s.width; ++x) {
            const std::uint8_t* g = got.data() + row * stride + 3 * x;
            const std::uint8_t* w = want.data() + row * stride + 3 * x;
            if (std::equal(g, g + 3, w)) continue;
            if (differing++ == 0) {
                char text[160];
                std::snprintf(text, sizeof text, "first at pixel (%d, %d): canvas %02X%02X%02X, GDI %02X%02X%02X (BGR)",
                              x, s.height - 1 - row, g[0], g[1], g[2], w[0], w[1], w[2]);
                first << text;
            }
        }
    EXPECT_EQ(differing, 0u) << "scene " << s.name << ": " << differing << " pixels differ, " << first.str();
}

INSTANTIATE_TEST_SUITE_P(Scenes, GdiOracle, ::testing::Range<std::size_t>(0, AllScenes().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = AllScenes()[info.param].name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
}  // namespace pallowin::scenes
