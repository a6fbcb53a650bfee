// The pixel block handed to the host: sized from a BITMAPINFOHEADER,
// allocated as movable zero-filled local memory and locked while drawn on.
// It never frees the block; ProducePicture frees it or hands it over.
#pragma once
#include <cstdint>

#include "platform/Platform.h"

namespace pallowin {

#pragma pack(push, 1)
struct BitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40);

// The BITMAPINFO block: the header and room for 256 colour entries.
constexpr std::size_t BitmapInfoBlockSize = 1064;

class TDIBSection {
public:
    // Throws EOutOfMemory when a row or the block does not fit 32 bits, or no
    // block can be made.
    void Allocate(const BitmapInfoHeader& header);
    void Lock();
    void Unlock();

    platform::HostBlock FHandle = nullptr;
    std::uint8_t* FBits = nullptr;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
    std::int32_t FBitCount = 0;
    std::int32_t FBytesPerLine = 0;
};

}  // namespace pallowin
