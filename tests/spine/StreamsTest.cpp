#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Failures.h"
#include "plugin/Streams.h"

namespace pallowin {
namespace {

TEST(MemoryStream, ReadsInPiecesAndSeeks) {
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5};
    MemoryStream stream(bytes);
    std::uint8_t out[8] = {};
    EXPECT_EQ(stream.Read(out, 2), 2u);
    EXPECT_EQ(stream.Read(out + 2, 8), 3u);
    EXPECT_EQ(stream.Read(out, 8), 0u);
    EXPECT_EQ(out[4], 5);
    stream.Seek(3);
    EXPECT_EQ(stream.Read(out, 8), 2u);
    EXPECT_EQ(out[0], 4);
    stream.Seek(100);
    EXPECT_EQ(stream.Read(out, 8), 0u);
    EXPECT_THROW(stream.Seek(-1), EFilerError);
}

TEST(HostHandleStream, ReadsFromTheCurrentPositionAndFailsOnABadHandle) {
    char name[] = "/tmp/pallowin-stream-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "abcdef", 6), 6);
    lseek(fd, 2, SEEK_SET);
    HostHandleStream stream(static_cast<std::uintptr_t>(fd));
    char out[8] = {};
    EXPECT_EQ(stream.Read(out, 8), 4u);
    EXPECT_EQ(std::string(out, 4), "cdef");
    EXPECT_THROW(stream.Seek(0), EFilerError);
    close(fd);
    unlink(name);
    HostHandleStream closed(static_cast<std::uintptr_t>(fd));
    EXPECT_THROW(closed.Read(out, 8), EReadError);
}

TEST(InputFileStream, AMissingFileIsAnOpenFailure) {
    EXPECT_THROW(InputFileStream("/nonexistent/pallowin/plan.jwc"), EFOpenError);
}

TEST(InputFileStream, SeeksAndReports) {
    char name[] = "/tmp/pallowin-stream-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "0123456789", 10), 10);
    close(fd);
    {
        InputFileStream stream(name);
        EXPECT_EQ(stream.Length(), 10);
        stream.Seek(7);
        char out[8] = {};
        EXPECT_EQ(stream.Read(out, 8), 3u);
        EXPECT_EQ(std::string(out, 3), "789");
    }
    unlink(name);
}

}  // namespace
}  // namespace pallowin
