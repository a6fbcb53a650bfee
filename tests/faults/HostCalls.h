// The exports called as a host calls them, natively: a fresh body per case,
// the kind recorded by a check of the file's first 2048 bytes, and what a
// call hands over collected so it can be checked and then freed as a host
// frees it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/PortableControl.h"
#include "plugin/DIBSection.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin::hostcalls {

namespace portable = platform::portable;
using Bytes = std::vector<std::uint8_t>;

enum class Call { Info, Picture, Preview };

struct Answer {
    std::int32_t rc = 99;
    PictureInfo info{};                       // Info calls
    platform::HostBlock infoBlock = nullptr;  // picture calls
    platform::HostBlock bitsBlock = nullptr;

    std::vector<platform::HostBlock> Handed() const {
        std::vector<platform::HostBlock> blocks;
        for (platform::HostBlock b : {info.InfoText, infoBlock, bitsBlock})
            if (b != nullptr) blocks.push_back(b);
        return blocks;
    }
    Bytes BlockBytes(platform::HostBlock block) const {
        const auto* p = static_cast<const std::uint8_t*>(platform::LockHostBlock(block));
        Bytes bytes(p, p + platform::HostBlockSize(block));
        platform::UnlockHostBlock(block);
        return bytes;
    }
    // What the host would keep of the answer: the code and every block's bytes.
    std::vector<Bytes> Contents() const {
        std::vector<Bytes> all;
        for (platform::HostBlock b : Handed()) all.push_back(BlockBytes(b));
        return all;
    }
    void FreeAsHost() {
        for (platform::HostBlock b : Handed()) platform::FreeHostBlock(b);
        info.InfoText = infoBlock = bitsBlock = nullptr;
    }
};

inline std::string TempPath(const std::string& name) { return ::testing::TempDir() + name; }

// A fresh body with default settings and no fault armed, for every case.
class HostCalls : public ::testing::Test {
protected:
    void SetUp() override {
        portable::ResetCounters();
        portable::ClearRegistry();
        ASSERT_TRUE(PluginStartup());
        PluginSettings = DefaultSettings;
    }
    void TearDown() override {
        portable::FailNthHostAllocation(0);
        portable::FailNthFileRead(0);
        PluginShutdown();
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u) << "a host block leaked";
    }

    static bool Check(const Bytes& file, const char* name = "a.jwc") {
        Bytes first(2048, 0);
        if (!file.empty())
            std::memcpy(first.data(), file.data(), std::min<std::size_t>(file.size(), first.size()));
        return IsSupported(name, first.data()) == 1;
    }

    // Memory mode when path is empty, else file mode at offset 0.
    static Answer Make(Call call, const Bytes& file, const std::string& path = {}) {
        Answer a;
        const bool fileMode = !path.empty();
        const char* source = fileMode ? path.c_str() : reinterpret_cast<const char*>(file.data());
        const HostValue size = fileMode ? 0 : HostValue(file.size());
        const std::uint32_t flags = fileMode ? 0 : 1;
        switch (call) {
            case Call::Info:
                a.rc = GetPictureInfo(source, size, flags, &a.info);
                break;
            case Call::Picture:
                a.rc = GetPicture(source, size, flags, &a.infoBlock, &a.bitsBlock, nullptr, 0);
                break;
            case Call::Preview:
                a.rc = GetPreview(source, size, flags, &a.infoBlock, &a.bitsBlock, nullptr, 0);
                break;
        }
        return a;
    }

    // Nothing but the handed blocks is alive, each unlocked; the render's
    // scratch is empty again.
    static void ExpectOnlyHandedAlive(const Answer& a) {
        const auto handed = a.Handed();
        EXPECT_EQ(portable::LiveHostBlockCount(), handed.size());
        for (platform::HostBlock b : handed) {
            EXPECT_TRUE(portable::IsLiveHostBlock(b));
            EXPECT_FALSE(portable::IsHostBlockLocked(b));
        }
        EXPECT_TRUE(PluginBody->FFileData.empty());
        EXPECT_EQ(PluginBody->FWorkBitmap, nullptr);
    }
};

// Files with every kind of record, as the fixture writer lays them out.
inline Bytes SampleDrawing(bool longLayout = true) {
    namespace jw = jwwriter;
    jw::DrawingSpec spec;
    spec.memo = "plan";
    spec.longLayout = longLayout;
    spec.lines = {jw::Line(0, 0, 518, 366), jw::Line(10, 300, 400, 20, 3, 2)};
    spec.arcs = {jw::Circle(259, 183, 100), jw::Arc(100, 100, 50, 30, 270, 0.5, 15, 4, 3)};
    spec.texts = {jw::Text(20, 40, 120, 40)};
    spec.points = {jw::Point(200, 200, 7)};
    return jw::WriteDrawing(spec);
}

inline Bytes SampleFigure() {
    namespace jw = jwwriter;
    jw::FigureSpec spec;
    spec.memo = "door";
    spec.lines = {jw::Line(-40, -40, 40, 40)};
    spec.arcs = {jw::Arc(10, 10, 15, 45, 300, 0.4, 30, 5, 3)};
    spec.points = {jw::Point(3, 4, 6)};
    spec.texts = {jw::Text(-30, -30, 10, -30)};
    return jw::WriteFigure(spec);
}

}  // namespace pallowin::hostcalls
