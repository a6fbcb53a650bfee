#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin {
namespace {

using namespace jwwriter;
using namespace std::literals;
namespace portable = platform::portable;
namespace fs = std::filesystem;

const std::string MemoLabel = "\x83\x81\x81\x40\x83\x82\x81\x46";
const std::string LineLabel = "\x90\xFC\x81\x40\x90\x94\x81\x46";
const std::string ArcLabel = "\x89\x7E\x8C\xCA\x90\x94\x81\x46";
const std::string TextLabel = "\x95\xB6\x97\xF1\x90\x94\x81\x46";
const std::string PointLabel = "\x93\x5F\x81\x40\x90\x94\x81\x46";

std::string Expected(const std::string& memo, const std::string& v1, const std::string& v2, const std::string& v3,
                     const std::string& v4) {
    return MemoLabel + memo + "\n" + LineLabel + v1 + "\n" + ArcLabel + v2 + "\n" + TextLabel + v3 + "\n" +
           PointLabel + v4;
}

bool AllZero(const PictureInfo& info) {
    static const PictureInfo zero{};
    return std::memcmp(&info, &zero, sizeof info) == 0;
}

class PictureInfoTest : public testing::Test {
protected:
    void SetUp() override {
        portable::ClearRegistry();
        portable::ResetCounters();
        PluginStartup();
        dir_ = fs::temp_directory_path() / ("pallowin-pictureinfo-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        portable::FailNthHostAllocation(0);
        PluginShutdown();
        fs::remove_all(dir_);
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u) << "a host block leaked";
    }

    // Calls the export on a memory image; answers the result and, on rcOk,
    // the text block's bytes (the whole block, NULs included), freeing it.
    std::int32_t Describe(const std::vector<std::uint8_t>& image, PictureInfo& info, std::string* block = nullptr) {
        std::memset(&info, 0xCC, sizeof info);
        const std::int32_t rc =
            GetPictureInfo(reinterpret_cast<const char*>(image.data()), static_cast<HostValue>(image.size()), 1, &info);
        TakeBlock(info, block);
        return rc;
    }
    std::int32_t DescribeFile(const std::string& path, HostValue offset, PictureInfo& info,
                              std::string* block = nullptr) {
        std::memset(&info, 0xCC, sizeof info);
        const std::int32_t rc = GetPictureInfo(path.c_str(), offset, 0, &info);
        TakeBlock(info, block);
        return rc;
    }
    std::string Save(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(SaveFile(path, bytes));
        return path;
    }

    // The text as the host reads it: the block up to its last byte, which is a NUL.
    static std::string TextOf(const std::string& block) { return block.substr(0, block.size() - 1); }

private:
    static void TakeBlock(const PictureInfo& info, std::string* block) {
        if (!info.InfoText || !portable::IsLiveHostBlock(info.InfoText)) return;
        EXPECT_FALSE(portable::IsHostBlockLocked(info.InfoText)) << "handed over locked";
        const std::size_t size = platform::HostBlockSize(info.InfoText);
        const char* bytes = static_cast<const char*>(platform::LockHostBlock(info.InfoText));
        if (block) block->assign(bytes, size);
        platform::UnlockHostBlock(info.InfoText);
        platform::FreeHostBlock(info.InfoText);
    }

    fs::path dir_;
};

TEST_F(PictureInfoTest, DrawingTextAndSize) {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.countLineOverride = "12,3,0,5,"s;  // NULs follow
    PictureInfo info;
    std::string block;
    ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk);
    EXPECT_EQ(info.Left, 0);
    EXPECT_EQ(info.Top, 0);
    EXPECT_EQ(info.Width, 518);
    EXPECT_EQ(info.Height, 366);
    EXPECT_EQ(info.XDensity, 0);
    EXPECT_EQ(info.YDensity, 0);
    EXPECT_EQ(info.ColorDepth, 24);
    const std::string text = Expected("ABC", "12", "3", "0", "5");
    EXPECT_EQ(block, text + '\0');  // length text + 1, no line feed at the end
    EXPECT_EQ(PluginBody->FFileKind, fkDrawing);
}

TEST_F(PictureInfoTest, RealisticFilesShowTheirCounts) {
    DrawingSpec drawing;
    drawing.memo = "\x90\x7D\x96\xCA\x82\xCC\x96\xBC\x91\x4F";  // a Shift-JIS memo
    drawing.lines.assign(30, Line(1, 1, 2, 2));
    drawing.texts.assign(13, Text(1, 1, 5, 1));
    PictureInfo info;
    std::string block;
    ASSERT_EQ(Describe(WriteDrawing(drawing), info, &block), rcOk);
    EXPECT_EQ(TextOf(block), Expected(drawing.memo, "30", "0", "13", "0"));

    // Figure files list points before texts: the labels stay, the values move.
    FigureSpec figure;
    figure.lines.assign(12, Line(0, 0, 1, 1));
    figure.arcs = {Circle(0, 0, 1)};
    figure.texts.assign(2, Text(0, 0, 1, 0));
    PluginSettings.JWK_W = 200;
    PluginSettings.JWK_H = 150;
    ASSERT_EQ(Describe(WriteFigure(figure), info, &block), rcOk);
    EXPECT_EQ(TextOf(block), Expected("", "12", "1", "0", "2"));
    EXPECT_EQ(info.Width, 200);
    EXPECT_EQ(info.Height, 150);
    EXPECT_EQ(PluginBody->FFileKind, fkFigure);
}

TEST_F(PictureInfoTest, CountFieldValuesAsTheyStand) {
    struct Case {
        std::string countField, v1, v2, v3, v4;
    };
    const Case cases[] = {
        {"12 3 0 5", "", "", "", ""},            // no comma: four empty values
        {"7,0,1,", "7", "0", "1", ""},           // the fourth value is empty
        {" 1 ,x,,-4,9,9,", " 1 ", "x", "", "-4"},  // not converted, not trimmed
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        DrawingSpec spec;
        spec.memo = "m";
        spec.countLineOverride = c.countField;
        PictureInfo info;
        std::string block;
        ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk) << c.countField;
        EXPECT_EQ(TextOf(block), Expected("m", c.v1, c.v2, c.v3, c.v4)) << c.countField;
    }
}

// A comma beyond the 100-byte count field is not part of it.
TEST_F(PictureInfoTest, CountFieldEndsAtByte300) {
    DrawingSpec spec;
    spec.countLineOverride = std::string(99, '1') + "2,3,4,5,";
    PictureInfo info;
    std::string block;
    ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk);
    EXPECT_EQ(TextOf(block), Expected("", "", "", "", ""));
}

// The text is copied into its block up to its first NUL; the block keeps the
// length of the whole text plus one.
TEST_F(PictureInfoTest, NulInsideAValueEndsTheCopiedText) {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.countLineOverride = "1\0,2,3,4,"s;
    PictureInfo info;
    std::string block;
    ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk);
    const std::string full = Expected("ABC", "1\0"s, "2", "3", "4");
    const std::string copied = MemoLabel + "ABC\n" + LineLabel + "1";
    ASSERT_EQ(block.size(), full.size() + 1);
    EXPECT_EQ(block, copied + std::string(full.size() + 1 - copied.size(), '\0'));
}

TEST_F(PictureInfoTest, MemoUpToItsNulOrAllSixtyFourBytes) {
    const std::string long70(70, 'M');
    struct Case {
        std::string memoPatch;  // written at byte 40
        std::string shown;
    };
    const Case cases[] = {
        {"\0ABC"s, ""},
        {"AB\0CD"s, "AB"},
        {long70, std::string(64, 'M')},
        {std::string(64, 'Q') + '\0', std::string(64, 'Q')},
    };
    for (const Case& c : cases) {
        DrawingSpec spec;
        spec.patches = {{40, c.memoPatch}};
        PictureInfo info;
        std::string block;
        ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk);
        EXPECT_EQ(TextOf(block), Expected(c.shown, "0", "0", "0", "0"));
    }
}

TEST_F(PictureInfoTest, ThreeHundredBytesAreEnough) {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.truncateTo = 300;
    PictureInfo info;
    std::string block;
    ASSERT_EQ(Describe(WriteDrawing(spec), info, &block), rcOk);
    EXPECT_EQ(TextOf(block), Expected("ABC", "0", "0", "0", "0"));

    // One byte fewer: recognised, but the count field cannot be read whole.
    // The recorded kind stays as the check left it.
    spec.truncateTo = 299;
    EXPECT_EQ(Describe(WriteDrawing(spec), info), rcFileError);
    EXPECT_TRUE(AllZero(info));
    EXPECT_EQ(PluginBody->FFileKind, fkDrawing);
    spec.truncateTo = 100;  // not even the memo
    EXPECT_EQ(Describe(WriteDrawing(spec), info), rcFileError);
    EXPECT_TRUE(AllZero(info));
}

TEST_F(PictureInfoTest, UnrecognisedInputs) {
    auto drawing = WriteDrawing({});
    auto notOurs = drawing;
    notOurs[0] = 'J';
    auto tooShort = std::vector<std::uint8_t>(drawing.begin(), drawing.begin() + 39);
    for (const auto* image : {&notOurs, &tooShort}) {
        PictureInfo info;
        std::memset(&info, 0, sizeof info);
        ASSERT_EQ(Describe(drawing, info), rcOk);  // a kind is recorded first
        EXPECT_EQ(Describe(*image, info), rcUnsupportedFormat);
        EXPECT_TRUE(AllZero(info));
        EXPECT_EQ(PluginBody->FFileKind, fkNone);
    }
    EXPECT_EQ(portable::HostAllocationCount(), 2u);  // only the two described drawings
}

TEST_F(PictureInfoTest, FileModeReadsTheFieldsFromTheStartOfTheFile) {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.countLineOverride = "3,1,0,2,"s;
    auto bytes = WriteDrawing(spec);
    const std::vector<std::uint8_t> identification(bytes.begin(), bytes.begin() + 40);
    std::memcpy(bytes.data(), "not a signature here", 20);
    std::memcpy(bytes.data() + 128, identification.data(), 40);  // inside the memo line, after the memo field
    const std::string path = Save("offset.jwc", bytes);

    PictureInfo info;
    std::string block;
    ASSERT_EQ(DescribeFile(path, 128, info, &block), rcOk);
    EXPECT_EQ(TextOf(block), Expected("ABC", "3", "1", "0", "2"));
    EXPECT_EQ(info.Width, 518);
    EXPECT_EQ(DescribeFile(path, 0, info), rcUnsupportedFormat);
    EXPECT_TRUE(AllZero(info));
    EXPECT_EQ(DescribeFile(path, 129, info), rcUnsupportedFormat);
    EXPECT_EQ(DescribeFile(path, 1 << 20, info), rcUnsupportedFormat);  // beyond the end

    // Only the low three bits of Flags choose the mode: 0x18 is file mode.
    ASSERT_EQ(GetPictureInfo(path.c_str(), 128, 0x18, &info), rcOk);
    platform::FreeHostBlock(info.InfoText);
}

TEST_F(PictureInfoTest, MissingFileIsAFileError) {
    PictureInfo info;
    EXPECT_EQ(DescribeFile(Save("x.jwc", {}) + ".missing", 0, info), rcFileError);
    EXPECT_TRUE(AllZero(info));
}

TEST_F(PictureInfoTest, BakFilesAreDescribedWithBakModeOn) {
    PluginSettings.BakMode = true;
    const std::string path = Save("drawing.BAK", WriteDrawing({}));
    PictureInfo info;
    EXPECT_EQ(IsSupported(path.c_str(), nullptr), 0) << "the file check by name refuses it";
    EXPECT_EQ(DescribeFile(path, 0, info), rcOk);
    EXPECT_EQ(PluginBody->FFileKind, fkDrawing);
}

TEST_F(PictureInfoTest, SizesFollowTheSettingsAtTheTimeOfTheCall) {
    const auto drawing = WriteDrawing({});
    PictureInfo info;
    ASSERT_EQ(Describe(drawing, info), rcOk);
    EXPECT_EQ(info.Width, 518);
    PluginSettings.JWC_W = 1036;
    PluginSettings.JWC_H = 732;
    ASSERT_EQ(Describe(drawing, info), rcOk);
    EXPECT_EQ(info.Width, 1036);
    EXPECT_EQ(info.Height, 732);
    ASSERT_EQ(Describe(WriteFigure({}), info), rcOk);
    EXPECT_EQ(info.Width, 100);
    EXPECT_EQ(info.Height, 100);
}

TEST_F(PictureInfoTest, NoMemoryForTheTextLeavesTheSizeAndNoBlock) {
    PictureInfo info;
    portable::FailNthHostAllocation(1);
    EXPECT_EQ(Describe(WriteDrawing({}), info), rcNoMemory);
    EXPECT_EQ(info.Width, 518);
    EXPECT_EQ(info.Height, 366);
    EXPECT_EQ(info.ColorDepth, 24);
    EXPECT_EQ(info.InfoText, nullptr);
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

TEST_F(PictureInfoTest, FailingFileReadIsAFileError) {
    const std::string path = Save("d.jwc", WriteDrawing({}));
    for (std::size_t n : {1, 2, 3}) {
        portable::ResetCounters();
        portable::FailNthFileRead(n);
        PictureInfo info;
        const std::int32_t rc = DescribeFile(path, 0, info);
        portable::FailNthFileRead(0);
        // The first read is the check (a failed check is a false answer).
        EXPECT_EQ(rc, n == 1 ? rcUnsupportedFormat : rcFileError) << n;
        EXPECT_TRUE(AllZero(info)) << n;
    }
}

}  // namespace
}  // namespace pallowin
