// The body of GetPictureInfo: the picture's size and depth for one file or
// memory image, without drawing it.
#pragma once
#include <cstdint>

#include "plugin/SpiTypes.h"

namespace pallowin {

std::int32_t GetPictureInfoBody(const char* source, HostValue size, std::uint32_t flags,
                                PictureInfo* info);

}  // namespace pallowin
