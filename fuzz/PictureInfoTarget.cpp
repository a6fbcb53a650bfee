// GetPictureInfo in memory mode over an exact heap copy of the input. The
// answer follows from the signature and the length alone; on rcOk the text
// block starts with the memo label and holds its NUL.
#include "fuzz/FuzzHost.h"

using namespace pallowin;
using namespace pallowin::fuzz;

namespace {

TFileKind ExpectedKind(const std::uint8_t* data, std::size_t size) {
    if (size < 40) return fkNone;
    if (std::memcmp(data, DrawingSignature, 20) == 0) return fkDrawing;
    if (std::memcmp(data, FigureSignature, 20) == 0) return fkFigure;
    return fkNone;
}

bool AllZero(const PictureInfo& info) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
    for (std::size_t i = 0; i < sizeof info; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

void CheckText(platform::HostBlock block) {
    FUZZ_CHECK(block != nullptr);
    FUZZ_CHECK(!platform::portable::IsHostBlockLocked(block));
    const std::size_t size = platform::HostBlockSize(block);
    const auto* text = static_cast<const char*>(platform::LockHostBlock(block));
    FUZZ_CHECK(text != nullptr && size >= 1);
    const std::size_t length = strnlen(text, size);
    FUZZ_CHECK(length < size);             // NUL-terminated inside the block
    FUZZ_CHECK(std::memcmp(text, "\x83\x81\x81\x40\x83\x82\x81\x46", 8) == 0);
    platform::UnlockHostBlock(block);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartPlugin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ExactBytes image(data, size);
    PictureInfo info;
    std::memset(&info, 0xCD, sizeof info);
    const std::int32_t rc = GetPictureInfo(image.AsSource(), HostValue(size), 1, &info);

    const TFileKind kind = ExpectedKind(data, size);
    FUZZ_CHECK(PluginBody->FFileKind == kind);
    if (kind == fkNone) {
        FUZZ_CHECK(rc == rcUnsupportedFormat);
        FUZZ_CHECK(AllZero(info));
    } else if (size < 300) {
        FUZZ_CHECK(rc == rcFileError);
        FUZZ_CHECK(AllZero(info));
    } else {
        FUZZ_CHECK(rc == rcOk);
        const bool figure = kind == fkFigure;
        FUZZ_CHECK(info.Left == 0 && info.Top == 0);
        FUZZ_CHECK(info.Width == (figure ? PluginSettings.JWK_W : PluginSettings.JWC_W));
        FUZZ_CHECK(info.Height == (figure ? PluginSettings.JWK_H : PluginSettings.JWC_H));
        FUZZ_CHECK(info.ColorDepth == 24 && info.XDensity == 0 && info.YDensity == 0);
        CheckText(info.InfoText);
        FreeAsHost(info.InfoText);
    }
    CheckNothingLeftAlive();
    return 0;
}
