#include "plugin/InSPIBody.h"

#include <cstring>
#include <string_view>

#include "settings/PluginSettings.h"
#include "settings/SettingsStore.h"
#if defined(_WIN32)
#include "settings/SettingsDialog.h"
#endif

namespace pallowin {

TInSPIBody* PluginBody = nullptr;

namespace {

bool IsCp932LeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The extension the way the host's file routines see it: from the last ".",
// "\" or ":" that is not the second byte of a double-byte character. Only a
// forward walk from the start can tell which bytes are second bytes.
std::string_view ExtensionOf(std::string_view name) {
    std::size_t delimiter = std::string_view::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(name[i]);
        if (IsCp932LeadByte(byte)) {
            ++i;  // its second byte is never a delimiter
            continue;
        }
        if (byte == '.' || byte == '\\' || byte == ':') delimiter = i;
    }
    if (delimiter == std::string_view::npos || name[delimiter] != '.') return {};
    return name.substr(delimiter);
}

bool IsBakName(const char* fileName) {
    const std::string_view ext = ExtensionOf(fileName ? std::string_view(fileName) : "");
    constexpr std::string_view bak = ".BAK";
    if (ext.size() != bak.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        char c = ext[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != bak[i]) return false;
    }
    return true;
}

// Up to count bytes: a stream may hand them over in pieces. A failing read
// counts as the end of the data.
std::size_t ReadUpTo(ByteStream& stream, std::uint8_t* buffer, std::size_t count) {
    std::size_t done = 0;
    try {
        while (done < count) {
            const std::size_t got = stream.Read(buffer + done, count - done);
            if (got == 0) break;
            done += got;
        }
    } catch (...) {
        return 0;
    }
    return done;
}

}  // namespace

TInSPIBody::TInSPIBody() {
    PluginBody = this;
    LoadSettings();
}

TInSPIBody::~TInSPIBody() {
    SaveSettings();
    if (PluginBody == this) PluginBody = nullptr;
}

void TInSPIBody::LoadSettings() {
    FSettingsVersion = LoadSettingsFromStore(PluginSettings);
}

void TInSPIBody::SaveSettings() {
    SaveSettingsToStore(PluginSettings);
}

bool TInSPIBody::CheckFile(const char* fileName, ByteStream& stream) {
    FFileKind = fkNone;
    if (PluginSettings.BakMode && IsBakName(fileName)) return false;

    std::uint8_t head[CheckFileBytes];
    if (ReadUpTo(stream, head, CheckFileBytes) < CheckFileBytes) return false;
    if (std::memcmp(head, DrawingSignature, SignatureLength) == 0) {
        FFileKind = fkDrawing;
    } else if (std::memcmp(head, FigureSignature, SignatureLength) == 0) {
        FFileKind = fkFigure;
    }
    return FFileKind != fkNone;
}

std::int32_t TInSPIBody::Reserved1() { return 8; }
std::int32_t TInSPIBody::Reserved2() { return -1; }
std::int32_t TInSPIBody::Reserved3() { return -1; }

std::int32_t TInSPIBody::ShowSettings(void* parent, std::int32_t function) {
    if (function != 1) return rcNotImplemented;
#if defined(_WIN32)
    return ShowSettingsDialog(parent);
#else
    (void)parent;  // the dialog is Windows only
    return rcNotImplemented;
#endif
}

void TInSPIBody::ReportProgress(std::int32_t num, std::int32_t denom) {
    FAborted = false;
    if (FProgressCallback) FAborted = FProgressCallback(num, denom, FCallbackData) != 0;
}

bool PluginStartup() noexcept {
    if (PluginBody) return true;
    try {
        new TInSPIBody;  // stores itself in PluginBody
    } catch (...) {
        PluginBody = nullptr;
    }
    return PluginBody != nullptr;
}

void PluginShutdown() noexcept {
    delete PluginBody;  // the destructor clears PluginBody
}

}  // namespace pallowin
