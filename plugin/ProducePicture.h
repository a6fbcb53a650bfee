// The body of GetPicture and GetPreview: draws the file and hands the host
// its BITMAPINFO and pixel blocks.
#pragma once
#include <cstdint>

#include "platform/Platform.h"
#include "plugin/SpiTypes.h"

namespace pallowin {

std::int32_t ProducePicture(const char* source, HostValue size, std::uint32_t flags,
                            platform::HostBlock* infoBlock, platform::HostBlock* bitsBlock,
                            ProgressCallback callback, HostValue callbackData, bool preview);

}  // namespace pallowin
