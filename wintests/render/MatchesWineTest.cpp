// The native build's pictures against those the 64-bit DLL wrote under
// wine64: the same bytes, header and pixels, for every catalogue case.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "wintests/render/PictureCatalogue.h"

namespace pallowin {
namespace {

std::vector<std::uint8_t> NativePicture(const catalogue::PictureCase& c) {
    std::vector<std::uint8_t> first(2048, 0);
    std::memcpy(first.data(), c.file.data(), std::min<std::size_t>(c.file.size(), 2048));
    EXPECT_EQ(IsSupported("catalogue.jwc", first.data()), 1);
    platform::HostBlock info = nullptr, bits = nullptr;
    const auto call = c.preview ? GetPreview : GetPicture;
    EXPECT_EQ(call(reinterpret_cast<const char*>(c.file.data()), HostValue(c.file.size()), 1, &info, &bits,
                   nullptr, 0),
              rcOk);
    std::vector<std::uint8_t> picture;
    if (info && bits) {
        const auto* header = static_cast<const std::uint8_t*>(platform::LockHostBlock(info));
        picture.assign(header, header + 40);
        platform::UnlockHostBlock(info);
        const auto* pixels = static_cast<const std::uint8_t*>(platform::LockHostBlock(bits));
        picture.insert(picture.end(), pixels, pixels + platform::HostBlockSize(bits));
        platform::UnlockHostBlock(bits);
    }
    platform::FreeHostBlock(info);
    platform::FreeHostBlock(bits);
    return picture;
}

TEST(RenderMatchesWine, EveryCatalogueCaseByteForByte) {
    const char* build = std::getenv("PALLOWIN_BUILD");
    if (build == nullptr) GTEST_SKIP() << "PALLOWIN_BUILD names no build tree";
    platform::portable::ClearRegistry();
    ASSERT_TRUE(PluginStartup());
    for (const catalogue::Settings& variant : catalogue::SettingsVariants()) {
      for (const catalogue::PictureCase& c : catalogue::Cases()) {
        PluginSettings = DefaultSettings;
        PluginSettings.JWC_W = variant.jwcW;
        PluginSettings.JWC_H = variant.jwcH;
        PluginSettings.JWK_W = variant.jwkW;
        PluginSettings.JWK_H = variant.jwkH;
        std::copy(std::begin(variant.colors), std::end(variant.colors), PluginSettings.Colors);
        PluginSettings.ViewMode = variant.viewMode;
        const std::string path =
            std::string(build) + "/render-pictures/" + catalogue::PictureFileName(variant, c);
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "no picture from wine: " << path;
        const std::vector<std::uint8_t> wine((std::istreambuf_iterator<char>(in)), {});
        const std::vector<std::uint8_t> native = NativePicture(c);
        ASSERT_EQ(wine.size(), native.size()) << path;
        const auto diff = std::mismatch(wine.begin(), wine.end(), native.begin());
        if (diff.first != wine.end()) {
            const std::size_t at = std::size_t(diff.first - wine.begin());
            const int w = native[4] | native[5] << 8, h = native[8] | native[9] << 8;
            const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
            if (at < 40) {
                ADD_FAILURE() << path << ": header byte " << at << " differs";
            } else {
                const std::size_t pixel = at - 40;
                ADD_FAILURE() << path << ": first differing pixel (" << (pixel % stride) / 3 << ", "
                              << (h - 1 - long(pixel / stride)) << ") wine " << int(*diff.first) << " native "
                              << int(*diff.second);
            }
        }
      }
    }
    PluginShutdown();
}

}  // namespace
}  // namespace pallowin
