#include <cstring>
#include <string>
#include <vector>

#include "BodyFixture.h"
#include "drawing/JwFormat.h"
#include "platform/Failures.h"
#include "plugin/Streams.h"

namespace pallowin {
namespace {

std::vector<std::uint8_t> FileStarting(const char* signature, std::size_t length) {
    std::vector<std::uint8_t> bytes(length, 'x');
    std::memcpy(bytes.data(), signature, std::min<std::size_t>(SignatureLength, length));
    return bytes;
}

// Counts what the check asks for, so a test can tell whether it read at all.
class CountingStream final : public ByteStream {
public:
    explicit CountingStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)), inner_(bytes_) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        ++reads;
        return inner_.Read(buffer, count);
    }
    void Seek(std::int64_t position) override { inner_.Seek(position); }
    int reads = 0;

private:
    std::vector<std::uint8_t> bytes_;
    MemoryStream inner_;
};

// Hands over one byte per read, as a pipe might.
class TrickleStream final : public ByteStream {
public:
    explicit TrickleStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        if (count == 0 || pos_ == bytes_.size()) return 0;
        static_cast<std::uint8_t*>(buffer)[0] = bytes_[pos_++];
        return 1;
    }
    void Seek(std::int64_t) override {}

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

class FailingStream final : public ByteStream {
public:
    std::size_t Read(void*, std::size_t) override { throw EReadError("gone"); }
    void Seek(std::int64_t) override {}
};

struct SignatureCase {
    const char* label;
    std::vector<std::uint8_t> bytes;
    bool answer;
    TFileKind kind;
};

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

class SignatureTest : public BodyTest, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(SignatureTest, RecognisesExactSignaturesOfAtLeastFortyBytes) {
    const SignatureCase& c = GetParam();
    body->FFileKind = fkFigure;  // a stale kind must not survive a check
    MemoryStream stream(c.bytes);
    EXPECT_EQ(body->CheckFile("a.jwc", stream), c.answer);
    EXPECT_EQ(body->FFileKind, c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SignatureTest,
    ::testing::Values(
        SignatureCase{"drawing", FileStarting(DrawingSignature, 40), true, fkDrawing},
        SignatureCase{"figure", FileStarting(FigureSignature, 40), true, fkFigure},
        SignatureCase{"long_drawing", FileStarting(DrawingSignature, 5000), true, fkDrawing},
        SignatureCase{"drawing_39", FileStarting(DrawingSignature, 39), false, fkNone},
        SignatureCase{"figure_39", FileStarting(FigureSignature, 39), false, fkNone},
        SignatureCase{"signature_only", FileStarting(FigureSignature, 20), false, fkNone},
        SignatureCase{"empty", {}, false, fkNone},
        SignatureCase{"upper_case_letter", WithByte(FileStarting(DrawingSignature, 40), 0, 'J'), false, fkNone},
        SignatureCase{"last_stop_changed", WithByte(FileStarting(DrawingSignature, 40), 19, ' '), false, fkNone},
        SignatureCase{"figure_last_stop_nul", WithByte(FileStarting(FigureSignature, 40), 19, 0), false, fkNone},
        SignatureCase{"zeros", std::vector<std::uint8_t>(40, 0), false, fkNone}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(BodyTest, CheckFileReadsFortyBytesAndLeavesTheStreamAfterThem) {
    auto bytes = FileStarting(FigureSignature, 100);
    bytes[40] = 0xAB;
    MemoryStream stream(bytes);
    ASSERT_TRUE(body->CheckFile("", stream));
    std::uint8_t next = 0;
    ASSERT_EQ(stream.Read(&next, 1), 1u);
    EXPECT_EQ(next, 0xAB);
}

TEST_F(BodyTest, CheckFileGathersBytesThatArriveInPieces) {
    TrickleStream stream(FileStarting(DrawingSignature, 40));
    EXPECT_TRUE(body->CheckFile("a.jwc", stream));
    EXPECT_EQ(body->FFileKind, fkDrawing);
}

TEST_F(BodyTest, CheckFileTurnsAFailingReadIntoFalse) {
    body->FFileKind = fkDrawing;
    FailingStream stream;
    EXPECT_FALSE(body->CheckFile("a.jwc", stream));
    EXPECT_EQ(body->FFileKind, fkNone);
}

struct NameCase {
    const char* label;
    const char* name;
    bool excluded;  // with BakMode on
};

class BakNameTest : public BodyTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(BakNameTest, BakModeRefusesBakExtensionsWithoutReading) {
    const NameCase& c = GetParam();
    PluginSettings.BakMode = true;
    CountingStream stream(FileStarting(DrawingSignature, 40));
    body->FFileKind = fkFigure;
    EXPECT_EQ(body->CheckFile(c.name, stream), !c.excluded);
    EXPECT_EQ(stream.reads == 0, c.excluded);
    EXPECT_EQ(body->FFileKind, c.excluded ? fkNone : fkDrawing);
}

TEST_P(BakNameTest, WithBakModeOffEveryNameIsJudgedBySignature) {
    PluginSettings.BakMode = false;
    const auto bytes = FileStarting(DrawingSignature, 40);
    MemoryStream stream(bytes);
    EXPECT_TRUE(body->CheckFile(GetParam().name, stream));
}

INSTANTIATE_TEST_SUITE_P(
    Names, BakNameTest,
    ::testing::Values(
        NameCase{"lower", "C:\\work\\plan.bak", true},
        NameCase{"upper", "PLAN.BAK", true},
        NameCase{"mixed", "plan.Bak", true},
        NameCase{"only_extension", ".bak", true},
        NameCase{"bak_then_jwc", "plan.bak.jwc", false},
        NameCase{"bak2", "plan.bak2", false},
        NameCase{"bak_without_stop", "planbak", false},
        NameCase{"no_stop", "plan", false},
        NameCase{"empty", "", false},
        NameCase{"folder_with_stop", "C:\\old.bak\\plan", false},
        NameCase{"drive_colon", "A.bak:stream", false},
        NameCase{"after_colon", "C:.bak", true},
        NameCase{"non_ascii_letter", "plan.b\x82\x60k", false},
        // 0x95 0x5C is one character: its 0x5C is no folder separator.
        NameCase{"double_byte_before_ext", "\x95\x5C.bak", true},
        NameCase{"ends_in_double_byte_5c", "C:\\x.bak\\\x95\x5C", false},
        NameCase{"5c_second_byte_then_bak", "\x95\x5C\x95\x5C.BAK", true},
        // After a lead byte, even a full stop is a second byte.
        NameCase{"stop_as_second_byte", "\x81.bak", false},
        // Two lead-range bytes form one character; the stop after is real.
        NameCase{"paired_lead_bytes", "\x81\x81.bak", true},
        NameCase{"lead_byte_at_end", "plan.bak\x81", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(BodyTest, ANullNameIsNoBakName) {
    PluginSettings.BakMode = true;
    const auto bytes = FileStarting(FigureSignature, 40);
    MemoryStream stream(bytes);
    EXPECT_TRUE(body->CheckFile(nullptr, stream));
}

}  // namespace
}  // namespace pallowin
