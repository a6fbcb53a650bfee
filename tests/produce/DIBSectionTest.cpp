#include "plugin/DIBSection.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/Failures.h"
#include "platform/PortableControl.h"

namespace pallowin {
namespace {

namespace portable = platform::portable;

BitmapInfoHeader Header(std::int32_t w, std::int32_t h, std::uint16_t bits = 24) {
    BitmapInfoHeader header{};
    header.biSize = 40;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = bits;
    return header;
}

TEST(DIBSection, RowsRoundUpToFourBytesAndTheBlockIsZeroed) {
    struct Case {
        std::int32_t w, h;
        std::uint16_t bits;
        std::int32_t bytesPerLine;
    };
    for (const Case& c : {Case{518, 366, 24, 1556}, Case{100, 100, 24, 300}, Case{101, 3, 24, 304},
                          Case{1, 1, 24, 4}, Case{128, -90, 24, 384}, Case{33, 2, 1, 8}, Case{7, 2, 32, 28}}) {
        TDIBSection dib;
        dib.Allocate(Header(c.w, c.h, c.bits));
        EXPECT_EQ(dib.FBytesPerLine, c.bytesPerLine) << c.w << " at " << c.bits;
        EXPECT_EQ(dib.FHeight, c.h < 0 ? -c.h : c.h) << "rows count whatever their order";
        ASSERT_EQ(platform::HostBlockSize(dib.FHandle), std::size_t(c.bytesPerLine) * dib.FHeight);
        dib.Lock();
        for (std::size_t i = 0; i < platform::HostBlockSize(dib.FHandle); ++i) ASSERT_EQ(dib.FBits[i], 0);
        dib.Unlock();
        EXPECT_EQ(dib.FBits, nullptr);
        EXPECT_FALSE(portable::IsHostBlockLocked(dib.FHandle));
        platform::FreeHostBlock(dib.FHandle);
    }
}

TEST(DIBSection, SizesNoHeaderFieldCanHoldAreOutOfMemory) {
    const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
    for (const BitmapInfoHeader& h :
         {Header(maxInt, 1), Header(100000, 100000), Header(1, std::numeric_limits<std::int32_t>::min()),
          Header(-5000, 10)}) {
        const std::size_t before = portable::LiveHostBlockCount();
        TDIBSection dib;
        EXPECT_THROW(dib.Allocate(h), EOutOfMemory) << h.biWidth << "x" << h.biHeight;
        EXPECT_EQ(dib.FHandle, nullptr);
        EXPECT_EQ(portable::LiveHostBlockCount(), before);
    }
    portable::FailNthHostAllocation(1);
    TDIBSection dib;
    EXPECT_THROW(dib.Allocate(Header(10, 10)), EOutOfMemory);
    portable::FailNthHostAllocation(0);
}

}  // namespace
}  // namespace pallowin
