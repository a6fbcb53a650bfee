#include "PluginReference.h"

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"

namespace pallowin::clitest {
namespace {

std::vector<std::uint8_t> Contents(platform::HostBlock block) {
    std::vector<std::uint8_t> bytes(platform::HostBlockSize(block));
    std::memcpy(bytes.data(), platform::LockHostBlock(block), bytes.size());
    platform::UnlockHostBlock(block);
    return bytes;
}

std::int32_t Le32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
}

}  // namespace

HostPicture PictureFromPlugin(const std::vector<std::uint8_t>& file, const TPluginSettings& settings,
                              bool preview) {
    HostPicture picture;
    PluginStartup();
    PluginSettings = settings;
    std::vector<std::uint8_t> first(2048, 0);
    std::copy_n(file.begin(), std::min<std::size_t>(file.size(), 2048), first.begin());
    IsSupported("", first.data());
    platform::HostBlock info = nullptr, bits = nullptr;
    const auto source = reinterpret_cast<const char*>(file.data());
    const auto size = static_cast<HostValue>(file.size());
    picture.result = preview ? GetPreview(source, size, 1, &info, &bits, nullptr, 0)
                             : GetPicture(source, size, 1, &info, &bits, nullptr, 0);
    if (picture.result == 0) {
        picture.header = Contents(info);
        picture.header.resize(40);
        picture.width = Le32(picture.header.data() + 4);
        picture.height = Le32(picture.header.data() + 8);
        picture.bits = Contents(bits);
        picture.bits.resize(picture.Stride() * static_cast<std::size_t>(picture.height));
    }
    if (info != nullptr) platform::FreeHostBlock(info);
    if (bits != nullptr) platform::FreeHostBlock(bits);
    PluginSettings = DefaultSettings;
    PluginShutdown();
    return picture;
}

}  // namespace pallowin::clitest
