// The six functions the host calls. 32-bit hosts pass 32-bit Size and
// CallbackData values; 64-bit hosts pass them, and IsSupported's Data,
// pointer-sized.
#pragma once
#include <cstdint>

#include "platform/Platform.h"
#include "plugin/SpiTypes.h"

extern "C" {

std::int32_t SPI_CALL GetPluginInfo(std::int32_t infoNo, char* buffer, std::int32_t bufferLength);
std::int32_t SPI_CALL IsSupported(const char* fileName, void* data);
std::int32_t SPI_CALL GetPictureInfo(const char* source, pallowin::HostValue size,
                                     std::uint32_t flags, pallowin::PictureInfo* info);
std::int32_t SPI_CALL GetPicture(const char* source, pallowin::HostValue size, std::uint32_t flags,
                                 pallowin::platform::HostBlock* infoBlock,
                                 pallowin::platform::HostBlock* bitsBlock,
                                 pallowin::ProgressCallback callback,
                                 pallowin::HostValue callbackData);
std::int32_t SPI_CALL GetPreview(const char* source, pallowin::HostValue size, std::uint32_t flags,
                                 pallowin::platform::HostBlock* infoBlock,
                                 pallowin::platform::HostBlock* bitsBlock,
                                 pallowin::ProgressCallback callback,
                                 pallowin::HostValue callbackData);
std::int32_t SPI_CALL ConfigurationDlg(void* parent, std::int32_t function);

}
