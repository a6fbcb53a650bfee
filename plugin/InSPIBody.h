// The plug-in body: the one object behind the six exports. It keeps the file
// kind of the last check and the progress callback of the running request.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/JwFormat.h"
#include "plugin/ByteStream.h"
#include "plugin/SpiTypes.h"

namespace pallowin {

class TDIBSection;

// The bytes CheckFile reads: the signature and what follows it.
constexpr std::size_t CheckFileBytes = 40;

class TInSPIBody {
public:
    // Becomes PluginBody, then loads the settings. Neither the constructor
    // nor the destructor (which saves them) lets a failure out.
    TInSPIBody();
    virtual ~TInSPIBody();
    TInSPIBody(const TInSPIBody&) = delete;
    TInSPIBody& operator=(const TInSPIBody&) = delete;

    virtual bool CheckFile(const char* fileName, ByteStream& stream);
    virtual std::int32_t Reserved1();  // answers 8; nothing calls it
    virtual std::int32_t Reserved2();  // answers -1
    virtual std::int32_t Reserved3();  // answers -1
    virtual std::int32_t ShowSettings(void* parent, std::int32_t function);

    // Passes num of denom to the host's callback, if any; FAborted tells
    // whether the host asked to stop.
    void ReportProgress(std::int32_t num, std::int32_t denom);

    std::int32_t ProduceDrawingDIB(const char* source, HostValue size, std::uint32_t flags,
                                   std::int32_t width, std::int32_t height, void* header,
                                   TDIBSection& dib);
    std::int32_t ProduceFigureDIB(const char* source, HostValue size, std::uint32_t flags,
                                  std::int32_t width, std::int32_t height, void* header,
                                  TDIBSection& dib);

    ProgressCallback FProgressCallback = nullptr;
    HostValue FCallbackData = 0;
    bool FAborted = false;
    std::int32_t FLineCount = 0;
    std::int32_t FArcCount = 0;
    std::int32_t FTextCount = 0;
    std::int32_t FPointCount = 0;
    TFileKind FFileKind = fkNone;
    RecordArray<TLineRec> FLines;
    RecordArray<TArcRec> FArcs;
    RecordArray<TTextRec> FTexts;
    RecordArray<TPointRec> FPoints;
    std::vector<std::uint8_t> FFileData;
    Canvas* FWorkBitmap = nullptr;
    std::int32_t FSettingsVersion = 0;

private:
    void LoadSettings();
    void SaveSettings();
};

extern TInSPIBody* PluginBody;

// Create and destroy PluginBody: called at DLL load and unload (and by the
// native tests around each case). PluginStartup answers whether a body
// exists afterwards (false only when it could not be made); a second call
// keeps the body there is. PluginShutdown with no body does nothing.
bool PluginStartup() noexcept;
void PluginShutdown() noexcept;

}  // namespace pallowin
