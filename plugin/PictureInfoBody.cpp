#include "plugin/PictureInfoBody.h"

#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "drawing/JwFormat.h"
#include "platform/Failures.h"
#include "plugin/ExceptionToResult.h"
#include "plugin/InSPIBody.h"
#include "plugin/Streams.h"
#include "settings/PluginSettings.h"

namespace pallowin {

namespace {

// Labels of the information text, Shift-JIS, four double-byte characters each.
constexpr std::string_view MemoLabel = "\x83\x81\x81\x40\x83\x82\x81\x46";
constexpr std::string_view LineLabel = "\x90\xFC\x81\x40\x90\x94\x81\x46";
constexpr std::string_view ArcLabel = "\x89\x7E\x8C\xCA\x90\x94\x81\x46";
constexpr std::string_view TextLabel = "\x95\xB6\x97\xF1\x90\x94\x81\x46";
constexpr std::string_view PointLabel = "\x93\x5F\x81\x40\x90\x94\x81\x46";

// A stream may hand its bytes over in pieces; a field it cannot fill is a
// short read.
template <std::size_t Length>
std::string_view ReadField(ByteStream& stream, std::size_t offset, std::array<char, Length>& field) {
    stream.Seek(static_cast<std::int64_t>(offset));
    std::size_t done = 0;
    while (done < Length) {
        const std::size_t got = stream.Read(field.data() + done, Length - done);
        if (got == 0) throw EReadError("the header ends before byte " + std::to_string(offset + Length));
        done += got;
    }
    return {field.data(), Length};
}

// The first four comma-ended values of the count field, as they stand (NULs
// and all); once no comma is left, the remaining values are empty.
std::string InformationText(std::string_view memoField, std::string_view countField) {
    std::string text;
    text.reserve(MemoLabel.size() * 5 + memoField.size() + countField.size() + 4);
    text += MemoLabel;
    text += memoField.substr(0, memoField.find('\0'));
    for (std::string_view label : {LineLabel, ArcLabel, TextLabel, PointLabel}) {
        text += '\n';
        text += label;
        std::size_t comma = countField.find(',');
        if (comma != std::string_view::npos) {
            text += countField.substr(0, comma);
            countField.remove_prefix(comma + 1);
        }
    }
    return text;
}

struct HostBlockFree {
    void operator()(void* block) const { platform::FreeHostBlock(block); }
};
using OwnedHostBlock = std::unique_ptr<void, HostBlockFree>;

// A zero-filled block of text + 1 bytes holding the text up to its first NUL.
OwnedHostBlock MakeTextBlock(const std::string& text) {
    OwnedHostBlock block(platform::AllocHostBlock(text.size() + 1));
    if (!block) throw EOutOfMemory();
    void* bytes = platform::LockHostBlock(block.get());
    if (!bytes) throw EOutOfResources("the information text cannot be locked");
    std::memcpy(bytes, text.data(), std::strlen(text.c_str()));
    platform::UnlockHostBlock(block.get());
    return block;
}

// The host's input as a stream, made in place: this call runs for every file
// of a folder the host lists.
class InputStream {
public:
    InputStream(const char* source, HostValue size, std::uint32_t flags) {
        if (IsMemoryInput(flags)) {
            const std::size_t length = size > 0 ? static_cast<std::size_t>(size) : 0;
            if (length > 0 && source == nullptr) throw EReadError("no image to read");
            stream_ = &memory_.emplace(
                std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(source), length));
        } else {
            if (source == nullptr) throw EFOpenError("no file name");
            // Read sharing: a file that another program only reads is still described.
            stream_ = &file_.emplace(source, /*shareRead=*/true);
            stream_->Seek(static_cast<std::int64_t>(size));
        }
    }
    ByteStream& operator*() { return *stream_; }

private:
    std::optional<MemoryStream> memory_;
    std::optional<InputFileStream> file_;
    ByteStream* stream_ = nullptr;
};

}  // namespace

std::int32_t GetPictureInfoBody(const char* source, HostValue size, std::uint32_t flags, PictureInfo* info) {
    if (info == nullptr) return rcInternalError;
    std::memset(info, 0, sizeof *info);
    try {
        InputStream stream(source, size, flags);
        if (!PluginBody->CheckFile("", *stream)) return rcUnsupportedFormat;

        // Header fields lie at fixed places from the start of the file,
        // whatever offset the signature was checked at.
        std::array<char, MemoLength> memoBytes;
        std::array<char, CountListLength> countBytes;
        const std::string_view memo = ReadField(*stream, MemoOffset, memoBytes);
        const std::string_view counts = ReadField(*stream, CountListOffset, countBytes);
        const std::string text = InformationText(memo, counts);

        const bool figure = PluginBody->FFileKind == fkFigure;
        info->Width = figure ? PluginSettings.JWK_W : PluginSettings.JWC_W;
        info->Height = figure ? PluginSettings.JWK_H : PluginSettings.JWC_H;
        info->ColorDepth = 24;
        info->InfoText = MakeTextBlock(text).release();
        return rcOk;
    } catch (...) {
        return ExceptionToResult();
    }
}

}  // namespace pallowin
