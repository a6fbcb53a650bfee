// The host's side of the boundary: result codes, PictureInfo, the progress
// callback and the calling convention. 32-bit hosts use the 26-byte packed
// record; 64-bit hosts widen Size, CallbackData and InfoText to pointers.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/Platform.h"

#if defined(_WIN32)
#define SPI_CALL __stdcall
#else
#define SPI_CALL
#endif

namespace pallowin {

enum TResultCode : std::int32_t {
    rcOk = 0,
    rcNotImplemented = -1,
    rcAborted = 1,
    rcUnsupportedFormat = 2,
    rcBrokenData = 3,
    rcNoMemory = 4,
    rcFileError = 6,
    rcInternalError = 8,
};

using HostValue = std::intptr_t;  // Size and CallbackData: 32 bits on i686, 64 on x86_64

using ProgressCallback = std::int32_t(SPI_CALL*)(std::int32_t num, std::int32_t denom, HostValue data);

#pragma pack(push, 1)
struct PictureInfo {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
    std::uint16_t XDensity;
    std::uint16_t YDensity;
    std::int16_t ColorDepth;
#if INTPTR_MAX > INT32_MAX
    std::uint8_t Padding[2];  // 64-bit hosts align InfoText to 8 within the packed record
#endif
    platform::HostBlock InfoText;
};
#pragma pack(pop)

#if INTPTR_MAX > INT32_MAX
static_assert(sizeof(PictureInfo) == 32, "64-bit PictureInfo is 32 bytes");
static_assert(offsetof(PictureInfo, InfoText) == 24, "64-bit InfoText lies at 24");
#else
static_assert(sizeof(PictureInfo) == 26, "PictureInfo is 26 packed bytes");
static_assert(offsetof(PictureInfo, InfoText) == 22, "InfoText lies at 22");
#endif

// Only the low three bits of Flags choose the input mode.
inline bool IsMemoryInput(std::uint32_t flags) { return (flags & 7u) != 0; }

constexpr std::int32_t ProgressDenominator = 110;

}  // namespace pallowin
