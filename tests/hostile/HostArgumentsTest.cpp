// Host arguments outside the contract: missing records, names and images.
// No such call may crash the host; each answers as a failure of its kind
// would (an access to invalid memory is an internal failure) and hands over
// nothing.
#include <gtest/gtest.h>

#include "tests/faults/HostCalls.h"

namespace pallowin {
namespace {

using namespace hostcalls;

bool AllZero(const PictureInfo& info) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
    return std::all_of(bytes, bytes + sizeof info, [](std::uint8_t b) { return b == 0; });
}

TEST_F(HostCalls, DescribingWithoutARecordIsAnInternalFailure) {
    const Bytes file = SampleDrawing();
    EXPECT_EQ(GetPictureInfo(reinterpret_cast<const char*>(file.data()), HostValue(file.size()), 1, nullptr),
              rcInternalError);
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

TEST_F(HostCalls, DescribingWithoutAFileNameIsAFileError) {
    PictureInfo info;
    std::memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(GetPictureInfo(nullptr, 0, 0, &info), rcFileError);
    EXPECT_TRUE(AllZero(info));
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

// As for the pictures: an image that is not there cannot be read.
TEST_F(HostCalls, DescribingAMissingImageIsAFileError) {
    for (HostValue size : {HostValue(1), HostValue(300), HostValue(1) << 20}) {
        PictureInfo info;
        std::memset(&info, 0x5A, sizeof info);
        EXPECT_EQ(GetPictureInfo(nullptr, size, 1, &info), rcFileError) << size;
        EXPECT_TRUE(AllZero(info));
    }
    // No bytes at all: nothing to recognise.
    PictureInfo info;
    EXPECT_EQ(GetPictureInfo(nullptr, 0, 1, &info), rcUnsupportedFormat);
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

}  // namespace
}  // namespace pallowin
