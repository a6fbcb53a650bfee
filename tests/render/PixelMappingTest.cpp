#include "drawing/PixelMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drawing/Renderers.h"
#include "platform/Failures.h"

namespace pallowin {
namespace {

struct RoundCase {
    long double value;
    std::int32_t expected;
};
void PrintTo(const RoundCase& c, std::ostream* os) { *os << double(c.value); }

class CheckedRoundTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(CheckedRoundTest, RoundsHalvesToEven) {
    EXPECT_EQ(CheckedRound(GetParam().value), GetParam().expected) << double(GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckedRoundTest,
    ::testing::Values(RoundCase{0.5L, 0}, RoundCase{1.5L, 2}, RoundCase{2.5L, 2},
                      RoundCase{3.5L, 4}, RoundCase{-0.5L, 0}, RoundCase{-1.5L, -2},
                      RoundCase{-2.5L, -2}, RoundCase{2.4999999L, 2}, RoundCase{2.5000001L, 3},
                      RoundCase{-2.5000001L, -3}, RoundCase{2147483647.0L, 2147483647},
                      RoundCase{2147483647.4L, 2147483647},
                      RoundCase{-2147483648.5L, std::numeric_limits<std::int32_t>::min()}));

TEST(CheckedRound, RefusesWhatIsNoPixel) {
    const long double inf = std::numeric_limits<long double>::infinity();
    for (long double v : {std::numeric_limits<long double>::quiet_NaN(), inf, -inf,
                          2147483647.5L, 2147483648.0L, -2147483648.6L, 1e30L, -1e30L})
        EXPECT_THROW(CheckedRound(v), EInvalidGraphic) << double(v);
    EXPECT_THROW(CheckedPixel(std::int64_t{1} << 31), EInvalidGraphic);
    EXPECT_EQ(CheckedPixel(-(std::int64_t{1} << 31)), std::numeric_limits<std::int32_t>::min());
}

struct ScaleCase {
    std::int32_t w, h, sheetW, sheetH;
    float expected;
};

TEST(SheetScale, IsTheSmallerRatioAsAFloat) {
    for (const ScaleCase& c : {ScaleCase{518, 366, 518, 366, 1.0f}, ScaleCase{1036, 366, 518, 366, 1.0f},
                               ScaleCase{259, 366, 518, 366, 0.5f}, ScaleCase{128, 90, 518, 366, static_cast<float>(90.0L / 366)},
                               ScaleCase{200, 100, 100, 100, 1.0f}, ScaleCase{128, 90, 100, 100, 0.9f},
                               ScaleCase{500, 500, 100, 100, 5.0f}})
        EXPECT_EQ(SheetScale(c.w, c.h, c.sheetW, c.sheetH), c.expected) << c.w << "x" << c.h;
}

}  // namespace
}  // namespace pallowin
