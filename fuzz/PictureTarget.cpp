// GetPicture and GetPreview in memory mode, for the kind FUZZ_FILE_KIND
// (fkDrawing or fkFigure) recorded by a check of a bare signature first, so
// any bytes at all reach that kind's renderer. The image is an exact heap
// copy; the blocks handed back must be what the failure table allows.
//
// Input: [width: 2][height: 2][mode][file bytes]. Sizes are taken modulo
// 301. Mode bit 0: preview; bit 1: ViewMode; bit 2: with a callback, which
// asks to stop from report number (bits 3-5), 0 meaning never.
#include "fuzz/FuzzHost.h"
#include "plugin/DIBSection.h"

using namespace pallowin;
using namespace pallowin::fuzz;

namespace {

constexpr TFileKind Kind = static_cast<TFileKind>(FUZZ_FILE_KIND);

int reportsSeen = 0;
int stopFromReport = 0;

std::int32_t SPI_CALL Progress(std::int32_t num, std::int32_t denom, HostValue data) {
    FUZZ_CHECK(denom == 110 && data == 0x1234);
    FUZZ_CHECK(num >= 0 && num <= 110);
    ++reportsSeen;
    return stopFromReport != 0 && reportsSeen >= stopFromReport ? 1 : 0;
}

void RecordKind() {
    std::uint8_t first[40] = {};
    std::memcpy(first, Kind == fkDrawing ? DrawingSignature : FigureSignature, 20);
    ExactBytes check(first, sizeof first);
    FUZZ_CHECK(IsSupported("", check.Data()) == 1);
    FUZZ_CHECK(PluginBody->FFileKind == Kind);
}

BitmapInfoHeader HeaderOf(platform::HostBlock info) {
    BitmapInfoHeader h;
    std::memcpy(&h, platform::LockHostBlock(info), sizeof h);
    platform::UnlockHostBlock(info);
    return h;
}

bool OnlyBiSize(platform::HostBlock info) {
    const auto* bytes = static_cast<const std::uint8_t*>(platform::LockHostBlock(info));
    bool only = bytes[0] == 40;
    for (std::size_t i = 1; i < BitmapInfoBlockSize; ++i) only = only && bytes[i] == 0;
    platform::UnlockHostBlock(info);
    return only;
}

void CheckHandedBlocks(std::int32_t rc, platform::HostBlock info, platform::HostBlock bits,
                       std::int32_t width, std::int32_t height) {
    switch (rc) {
        case rcOk: {
            FUZZ_CHECK(width > 0 && height > 0);
            FUZZ_CHECK(info != nullptr && bits != nullptr);
            FUZZ_CHECK(platform::HostBlockSize(info) == BitmapInfoBlockSize);
            const BitmapInfoHeader h = HeaderOf(info);
            const std::uint32_t rowBytes = (24u * static_cast<std::uint32_t>(width) + 31) / 32 * 4;
            FUZZ_CHECK(h.biSize == 40 && h.biWidth == width && h.biHeight == height);
            FUZZ_CHECK(h.biPlanes == 1 && h.biBitCount == 24 && h.biCompression == 0);
            FUZZ_CHECK(h.biSizeImage == rowBytes * static_cast<std::uint32_t>(height));
            FUZZ_CHECK(platform::HostBlockSize(bits) == h.biSizeImage);
            break;
        }
        case rcNotImplemented:
        case rcAborted:
        case rcBrokenData:
            FUZZ_CHECK(info != nullptr && bits == nullptr);
            FUZZ_CHECK(platform::HostBlockSize(info) == BitmapInfoBlockSize);
            FUZZ_CHECK(OnlyBiSize(info));
            break;
        case rcNoMemory:
        case rcFileError:
        case rcInternalError:
            FUZZ_CHECK(info == nullptr && bits == nullptr);
            break;
        default:
            Broken("a result code a picture request never answers", __FILE__, __LINE__);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartPlugin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Controls controls(data, size, 5);
    const std::int32_t width = controls.Word(0) % 301;
    const std::int32_t height = controls.Word(2) % 301;
    const std::uint8_t mode = controls[4];
    const bool preview = (mode & 1) != 0;
    PluginSettings.ViewMode = (mode & 2) != 0;
    PluginSettings.JWC_W = PluginSettings.JWK_W = width;
    PluginSettings.JWC_H = PluginSettings.JWK_H = height;
    const bool withCallback = (mode & 4) != 0;
    stopFromReport = (mode >> 3) & 7;
    reportsSeen = 0;

    RecordKind();
    ExactBytes image(data, size);
    platform::HostBlock info = reinterpret_cast<platform::HostBlock>(1);
    platform::HostBlock bits = reinterpret_cast<platform::HostBlock>(1);
    const auto request = preview ? GetPreview : GetPicture;
    const std::int32_t rc = request(image.AsSource(), HostValue(size), 1, &info, &bits,
                                    withCallback ? Progress : nullptr, 0x1234);

    CheckHandedBlocks(rc, info, bits, preview ? 128 : width, preview ? 90 : height);
    // Only the answer to the first report is acted on.
    if (withCallback && stopFromReport == 1) FUZZ_CHECK(rc == rcAborted && reportsSeen == 1);
    if (rc == rcAborted) FUZZ_CHECK(withCallback && stopFromReport == 1);
    FreeAsHost(info);
    FreeAsHost(bits);
    CheckNothingLeftAlive();
    return 0;
}
