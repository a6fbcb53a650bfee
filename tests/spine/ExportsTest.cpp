#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BodyFixture.h"
#include "drawing/JwFormat.h"
#include "plugin/Exports.h"

namespace pallowin {
namespace {

struct InfoCase {
    std::int32_t infoNo;
    std::int32_t bufferLength;
    std::string expected;  // bytes before the NUL
};

class PluginInfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(PluginInfoTest, CopiesTheCutTextAndANul) {
    const InfoCase& c = GetParam();
    std::vector<char> buffer(128, '#');
    const std::int32_t answer = GetPluginInfo(c.infoNo, buffer.data(), c.bufferLength);
    EXPECT_EQ(answer, static_cast<std::int32_t>(c.expected.size()));
    EXPECT_EQ(std::string(buffer.data(), c.expected.size()), c.expected);
    EXPECT_EQ(buffer[c.expected.size()], '\0');
    for (std::size_t i = c.expected.size() + 1; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], '#') << "written past the text at " << i;
    }
}

const std::string DrawingType = "JW_CAD \x90\x7D\x96\xCA\xCC\xA7\xB2\xD9";
const std::string FigureType = "JW_CAD \x90\x7D\x8C\x60\xCC\xA7\xB2\xD9";

INSTANTIATE_TEST_SUITE_P(
    Buffers, PluginInfoTest,
    ::testing::Values(InfoCase{0, 3, "00"}, InfoCase{0, 1, ""}, InfoCase{0, 100, "00IN"},
                      InfoCase{0, 5, "00IN"}, InfoCase{0, 4, "00I"}, InfoCase{2, 100, "*.jwc"},
                      InfoCase{3, 100, DrawingType}, InfoCase{3, 16, DrawingType},
                      InfoCase{3, 15, DrawingType.substr(0, 14)}, InfoCase{4, 100, "*.jwk"},
                      InfoCase{5, 100, FigureType}));

TEST(PluginInfo, DescriptionIsOneLineWithTheVersion) {
    char buffer[256];
    const std::int32_t n = GetPluginInfo(1, buffer, sizeof buffer);
    const std::string text(buffer, n);
    EXPECT_NE(text.find("Ver.1.04"), std::string::npos);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(n));
}

TEST(PluginInfo, OutOfRangeNumbersAndLengthsWriteNothing) {
    for (std::int32_t infoNo : {6, 7, -1, INT32_MIN}) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetPluginInfo(infoNo, buffer, sizeof buffer), 0) << infoNo;
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#')) << infoNo;
    }
    for (std::int32_t length : {0, -1, INT32_MIN}) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetPluginInfo(0, buffer, length), 0) << length;
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#')) << length;
    }
    EXPECT_EQ(GetPluginInfo(0, nullptr, 100), 0);
}

// The host's buffer: exactly 40 bytes on the heap, so a read past them is a
// sanitizer report, not a silent pass.
std::unique_ptr<std::uint8_t[]> HostBuffer(const char* signature) {
    auto buffer = std::make_unique<std::uint8_t[]>(40);
    std::memset(buffer.get(), ' ', 40);
    std::memcpy(buffer.get(), signature, SignatureLength);
    return buffer;
}

TEST_F(BodyTest, IsSupportedReadsOnlyFortyBytesOfTheHostBuffer) {
    auto drawing = HostBuffer(DrawingSignature);
    EXPECT_EQ(IsSupported("plan.jwc", drawing.get()), 1);
    EXPECT_EQ(body->FFileKind, fkDrawing);
    auto figure = HostBuffer(FigureSignature);
    EXPECT_EQ(IsSupported("part.jwk", figure.get()), 1);
    EXPECT_EQ(body->FFileKind, fkFigure);
    auto other = HostBuffer("not a drawing at all");
    EXPECT_EQ(IsSupported("plan.jwc", other.get()), 0);
    EXPECT_EQ(body->FFileKind, fkNone);
}

TEST_F(BodyTest, IsSupportedAppliesTheBakRule) {
    PluginSettings.BakMode = true;
    auto drawing = HostBuffer(DrawingSignature);
    EXPECT_EQ(IsSupported("plan.BAK", drawing.get()), 0);
    PluginSettings.BakMode = false;
    EXPECT_EQ(IsSupported("plan.BAK", drawing.get()), 1);
}

class TempFile {
public:
    explicit TempFile(const std::vector<std::uint8_t>& bytes) {
        char name[] = "/tmp/pallowin-spine-XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            close(fd);
        }
    }
    ~TempFile() { unlink(path.c_str()); }
    std::string path;
};

void* AsHandle(int fd) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)); }

TEST_F(BodyTest, IsSupportedReadsAHostHandleForwardAndLeavesItOpen) {
    std::vector<std::uint8_t> bytes(100, '.');
    std::memcpy(bytes.data(), FigureSignature, SignatureLength);
    TempFile file(bytes);
    const int fd = open(file.path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_LT(fd, 0x10000);
    EXPECT_EQ(IsSupported(file.path.c_str(), AsHandle(fd)), 1);
    EXPECT_EQ(body->FFileKind, fkFigure);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 40);
    EXPECT_NE(fcntl(fd, F_GETFD), -1) << "the host's handle was closed";
    // From where the host left it: 60 bytes on there is no signature.
    EXPECT_EQ(IsSupported(file.path.c_str(), AsHandle(fd)), 0);
    close(fd);
}

TEST_F(BodyTest, IsSupportedAnswersZeroForShortFilesAndBadHandles) {
    std::vector<std::uint8_t> bytes(39, '.');
    std::memcpy(bytes.data(), DrawingSignature, SignatureLength);
    TempFile file(bytes);
    const int fd = open(file.path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(IsSupported(file.path.c_str(), AsHandle(fd)), 0);
    close(fd);
    EXPECT_EQ(IsSupported("x.jwc", AsHandle(fd)), 0);  // closed now
    EXPECT_EQ(IsSupported("x.jwc", nullptr), 0);
}

TEST_F(BodyTest, ConfigurationDlgShowsNoDialogOutsideWindows) {
    for (std::int32_t function : {0, 1, 2, -1}) {
        EXPECT_EQ(ConfigurationDlg(nullptr, function), rcNotImplemented) << function;
    }
}

TEST_F(BodyTest, ReservedSlotsAnswerTheirFixedValues) {
    EXPECT_EQ(body->Reserved1(), 8);
    EXPECT_EQ(body->Reserved2(), -1);
    EXPECT_EQ(body->Reserved3(), -1);
}

TEST(NoBody, ExportsAnswerWithoutABody) {
    ASSERT_EQ(PluginBody, nullptr);
    auto drawing = HostBuffer(DrawingSignature);
    EXPECT_EQ(IsSupported("plan.jwc", drawing.get()), 0);
    EXPECT_EQ(ConfigurationDlg(nullptr, 1), rcInternalError);
    PictureInfo info{};
    EXPECT_EQ(GetPictureInfo("plan.jwc", 0, 0, &info), rcInternalError);
    char buffer[8];
    EXPECT_EQ(GetPluginInfo(0, buffer, sizeof buffer), 4);
}

}  // namespace
}  // namespace pallowin
