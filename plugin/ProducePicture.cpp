// Owns the two host blocks for the length of one request: the BITMAPINFO
// block is handed over on every answer that is not a failure, the pixel
// block only with rcOk; on a failure both are freed.
#include "plugin/ProducePicture.h"

#include <cstring>
#include <utility>

#include "platform/Failures.h"
#include "plugin/DIBSection.h"
#include "plugin/ExceptionToResult.h"
#include "plugin/HostFloatState.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"

namespace pallowin {

namespace {

constexpr std::int32_t PreviewWidth = 128, PreviewHeight = 90;

class InfoBlock {
public:
    ~InfoBlock() {
        Unlock();
        if (handle_ != nullptr) platform::FreeHostBlock(handle_);
    }
    void* AllocateLocked() {
        handle_ = platform::AllocHostBlock(BitmapInfoBlockSize);
        if (handle_ == nullptr) throw EOutOfMemory();
        bytes_ = platform::LockHostBlock(handle_);
        if (bytes_ == nullptr) throw EOutOfMemory();
        return bytes_;
    }
    platform::HostBlock Handle() const { return handle_; }
    // Unlocked and no longer ours.
    void HandOver() {
        Unlock();
        handle_ = nullptr;
    }

private:
    void Unlock() {
        if (bytes_ != nullptr) platform::UnlockHostBlock(handle_);
        bytes_ = nullptr;
    }
    platform::HostBlock handle_ = nullptr;
    void* bytes_ = nullptr;
};

// The pixel block stays ours unless it is handed over.
class PixelBlock {
public:
    ~PixelBlock() {
        dib.Unlock();
        if (dib.FHandle != nullptr) platform::FreeHostBlock(dib.FHandle);
    }
    platform::HostBlock HandOver() {
        dib.Unlock();
        return std::exchange(dib.FHandle, nullptr);
    }
    TDIBSection dib;
};

}  // namespace

std::int32_t ProducePicture(const char* source, HostValue size, std::uint32_t flags,
                            platform::HostBlock* infoBlock, platform::HostBlock* bitsBlock,
                            ProgressCallback callback, HostValue callbackData, bool preview) {
    if (infoBlock != nullptr) *infoBlock = nullptr;
    if (bitsBlock != nullptr) *bitsBlock = nullptr;
    if (infoBlock == nullptr || bitsBlock == nullptr) return rcInternalError;
    const HostFloatState floatState;
    try {
        InfoBlock info;
        void* header = info.AllocateLocked();
        *infoBlock = info.Handle();
        const std::uint32_t headerSize = sizeof(BitmapInfoHeader);
        std::memcpy(header, &headerSize, sizeof headerSize);

        if (PluginBody == nullptr) throw Failure("no plug-in body");
        TInSPIBody& body = *PluginBody;
        body.FProgressCallback = callback;
        body.FCallbackData = callbackData;

        PixelBlock pixels;
        std::int32_t result = rcNotImplemented;
        // The kind the last check recorded decides, whatever this input is.
        switch (body.FFileKind) {
            case fkDrawing:
                result = body.ProduceDrawingDIB(
                    source, size, flags, preview ? PreviewWidth : PluginSettings.JWC_W,
                    preview ? PreviewHeight : PluginSettings.JWC_H, header, pixels.dib);
                break;
            case fkFigure:
                result = body.ProduceFigureDIB(
                    source, size, flags, preview ? PreviewWidth : PluginSettings.JWK_W,
                    preview ? PreviewHeight : PluginSettings.JWK_H, header, pixels.dib);
                break;
            default:
                break;
        }
        if (result == rcOk) *bitsBlock = pixels.HandOver();
        info.HandOver();
        return result;
    } catch (...) {
        *infoBlock = nullptr;
        *bitsBlock = nullptr;
        return ExceptionToResult();
    }
}

}  // namespace pallowin
