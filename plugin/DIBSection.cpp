#include "plugin/DIBSection.h"

#include <cstdlib>
#include <limits>

#include "platform/Failures.h"

namespace pallowin {

void TDIBSection::Allocate(const BitmapInfoHeader& header) {
    // Sizes from settings can be anything the registry holds: work them out
    // wide and refuse what the signed 32-bit sizes cannot describe. The
    // 64-bit build refuses the same pictures, rather than zeroing and
    // filling gigabytes that no 32-bit host could ever take.
    const std::int64_t rows = std::llabs(header.biHeight);
    const std::int64_t rowBytes = (std::int64_t{header.biBitCount} * header.biWidth + 31) / 32 * 4;
    const std::int64_t blockBytes = rowBytes * rows;
    if (rows > std::numeric_limits<std::int32_t>::max() || rowBytes < 0 ||
        rowBytes > std::numeric_limits<std::int32_t>::max() ||
        blockBytes > std::numeric_limits<std::int32_t>::max())
        throw EOutOfMemory("the picture is too large");
    FWidth = header.biWidth;
    FHeight = static_cast<std::int32_t>(rows);
    FBitCount = header.biBitCount;
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
