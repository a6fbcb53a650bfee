#include "plugin/DIBSection.h"

#include <cstdlib>
#include <limits>

#include "platform/Failures.h"

namespace pallowin {

void TDIBSection::Allocate(const BitmapInfoHeader& header) {
    FWidth = header.biWidth;
    FHeight = static_cast<std::int32_t>(std::llabs(header.biHeight));
    FBitCount = header.biBitCount;
    // Sizes from settings can be anything the registry holds: work them out
    // wide and refuse what no 32-bit header field can describe.
    const std::int64_t rowBytes = (std::int64_t{FBitCount} * FWidth + 31) / 32 * 4;
    const std::int64_t blockBytes = rowBytes * std::llabs(header.biHeight);
    if (rowBytes < 0 || rowBytes > std::numeric_limits<std::int32_t>::max() ||
        blockBytes > std::numeric_limits<std::uint32_t>::max())
        throw EOutOfMemory("the picture is too large");
    FBytesPerLine = static_cast<std::int32_t>(rowBytes);
    FHandle = platform::AllocHostBlock(static_cast<std::size_t>(blockBytes));
    if (FHandle == nullptr) throw EOutOfMemory();
}

void TDIBSection::Lock() {
    FBits = static_cast<std::uint8_t*>(platform::LockHostBlock(FHandle));
    if (FBits == nullptr) throw EOutOfMemory();
}

void TDIBSection::Unlock() {
    if (FBits == nullptr) return;
    platform::UnlockHostBlock(FHandle);
    FBits = nullptr;
}

}  // namespace pallowin
