// The boundary: convert the host's arguments, forward, and let no failure
// of any kind through.
#include "plugin/Exports.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "plugin/ExceptionToResult.h"
#include "plugin/InSPIBody.h"
#include "plugin/PictureInfoBody.h"
#include "plugin/PluginInfo.h"
#include "plugin/ProducePicture.h"
#include "plugin/Streams.h"

using namespace pallowin;

namespace {

// Values that fit in the low 16 bits are file handles; anything larger
// points at the file's first bytes.
bool IsHostHandle(void* data) {
    return (reinterpret_cast<std::uintptr_t>(data) >> 16) == 0;
}

}  // namespace

extern "C" {

std::int32_t SPI_CALL GetPluginInfo(std::int32_t infoNo, char* buffer, std::int32_t bufferLength) {
    try {
        const auto text = PluginInfoText(static_cast<std::uint32_t>(infoNo));
        if (!text || !buffer || bufferLength < 1) return 0;
        const std::size_t n = std::min(text->size(), static_cast<std::size_t>(bufferLength) - 1);
        std::memcpy(buffer, text->data(), n);
        buffer[n] = '\0';
        return static_cast<std::int32_t>(n);
    } catch (...) {
        return 0;
    }
}

std::int32_t SPI_CALL IsSupported(const char* fileName, void* data) {
    try {
        if (!PluginBody) return 0;
        if (IsHostHandle(data)) {
            HostHandleStream stream(reinterpret_cast<std::uintptr_t>(data));
            return PluginBody->CheckFile(fileName, stream) ? 1 : 0;
        }
        // Only what the check reads: hosts pass buffers shorter than the
        // 2048 bytes they promise.
        MemoryStream stream({static_cast<const std::uint8_t*>(data), CheckFileBytes});
        return PluginBody->CheckFile(fileName, stream) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

std::int32_t SPI_CALL GetPictureInfo(const char* source, HostValue size, std::uint32_t flags,
                                     PictureInfo* info) {
    try {
        if (!PluginBody) return rcInternalError;
        return GetPictureInfoBody(source, size, flags, info);
    } catch (...) {
        return ExceptionToResult();
    }
}

std::int32_t SPI_CALL GetPicture(const char* source, HostValue size, std::uint32_t flags,
                                 platform::HostBlock* infoBlock, platform::HostBlock* bitsBlock,
                                 ProgressCallback callback, HostValue callbackData) {
    try {
        if (!PluginBody) return rcInternalError;
        return ProducePicture(source, size, flags, infoBlock, bitsBlock, callback, callbackData,
                              false);
    } catch (...) {
        return ExceptionToResult();
    }
}

std::int32_t SPI_CALL GetPreview(const char* source, HostValue size, std::uint32_t flags,
                                 platform::HostBlock* infoBlock, platform::HostBlock* bitsBlock,
                                 ProgressCallback callback, HostValue callbackData) {
    try {
        if (!PluginBody) return rcInternalError;
        return ProducePicture(source, size, flags, infoBlock, bitsBlock, callback, callbackData,
                              true);
    } catch (...) {
        return ExceptionToResult();
    }
}

std::int32_t SPI_CALL ConfigurationDlg(void* parent, std::int32_t function) {
    try {
        if (!PluginBody) return rcInternalError;
        return PluginBody->ShowSettings(parent, function);
    } catch (...) {
        return ExceptionToResult();
    }
}

}  // extern "C"
