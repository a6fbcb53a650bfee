// The host's side of a picture request, natively: a fresh plug-in body per
// case, the file check as a host makes it, the progress callback recorded,
// and the blocks the host receives checked and freed as a host would.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/PortableControl.h"
#include "plugin/DIBSection.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin::testing {

namespace portable = platform::portable;

struct ProgressCall {
    std::int32_t num, denom;
    HostValue data;
    bool operator==(const ProgressCall&) const = default;
};

// What the callback saw, and from which call on it asks to stop.
struct CallbackLog {
    std::vector<ProgressCall> calls;
    std::size_t stopFromCall = SIZE_MAX;  // 0-based
    std::function<void()> onCall;
};
inline CallbackLog* Log = nullptr;

inline std::int32_t SPI_CALL RecordProgress(std::int32_t num, std::int32_t denom, HostValue data) {
    Log->calls.push_back({num, denom, data});
    if (Log->onCall) Log->onCall();
    return Log->calls.size() > Log->stopFromCall ? 1 : 0;
}

constexpr HostValue CallbackData = 0x5A5A;

// The blocks a host received; freed with the answer checked.
struct HostPicture {
    std::int32_t rc = 99;
    platform::HostBlock info = nullptr;
    platform::HostBlock bits = nullptr;

    BitmapInfoHeader Header() const {
        BitmapInfoHeader h{};
        const void* p = platform::LockHostBlock(info);
        std::memcpy(&h, p, sizeof h);
        platform::UnlockHostBlock(info);
        return h;
    }
    std::vector<std::uint8_t> Bytes(platform::HostBlock block) const {
        const auto* p = static_cast<const std::uint8_t*>(platform::LockHostBlock(block));
        std::vector<std::uint8_t> v(p, p + platform::HostBlockSize(block));
        platform::UnlockHostBlock(block);
        return v;
    }
    std::vector<std::uint8_t> Pixels() const { return Bytes(bits); }
    void Free() {
        if (info) platform::FreeHostBlock(info);
        if (bits) platform::FreeHostBlock(bits);
        info = bits = nullptr;
    }
};

class HostSession : public ::testing::Test {
protected:
    void SetUp() override {
        portable::ResetCounters();
        portable::ClearRegistry();
        ASSERT_TRUE(PluginStartup());
        PluginSettings = DefaultSettings;
        Log = &log;
    }
    void TearDown() override {
        portable::FailNthHostAllocation(0);
        portable::FailNthFileRead(0);
        PluginShutdown();
        Log = nullptr;
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u) << "a host block leaked";
    }

    // The check a host makes before asking for the picture: the file's first
    // 2048 bytes by pointer.
    bool Check(const std::vector<std::uint8_t>& file, const char* name = "a.jwc") {
        std::vector<std::uint8_t> first(2048, 0);
        std::memcpy(first.data(), file.data(), std::min<std::size_t>(file.size(), 2048));
        return IsSupported(name, first.data()) == 1;
    }

    HostPicture Get(const std::vector<std::uint8_t>& file, bool preview = false,
                    bool withCallback = true) {
        HostPicture p;
        const auto call = preview ? GetPreview : GetPicture;
        p.rc = call(reinterpret_cast<const char*>(file.data()), HostValue(file.size()), 1, &p.info,
                    &p.bits, withCallback ? RecordProgress : nullptr, CallbackData);
        return p;
    }
    HostPicture GetFile(const std::string& path, bool preview = false) {
        HostPicture p;
        const auto call = preview ? GetPreview : GetPicture;
        p.rc = call(path.c_str(), 0, 0, &p.info, &p.bits, RecordProgress, CallbackData);
        return p;
    }

    std::vector<std::int32_t> Reports() const {
        std::vector<std::int32_t> nums;
        for (const ProgressCall& c : log.calls) {
            EXPECT_EQ(c.denom, 110);
            EXPECT_EQ(c.data, CallbackData);
            nums.push_back(c.num);
        }
        return nums;
    }

    // An answer without a picture hands over the info block holding only
    // biSize 40, unlocked, and no pixel block.
    void ExpectOnlyBiSize(HostPicture& p) {
        ASSERT_NE(p.info, nullptr);
        EXPECT_EQ(p.bits, nullptr);
        EXPECT_FALSE(portable::IsHostBlockLocked(p.info));
        std::vector<std::uint8_t> expected(BitmapInfoBlockSize, 0);
        expected[0] = 40;
        EXPECT_EQ(p.Bytes(p.info), expected);
        EXPECT_EQ(portable::LiveHostBlockCount(), 1u);
    }

    CallbackLog log;
};

inline std::string TempPath(const std::string& name) { return ::testing::TempDir() + name; }

}  // namespace pallowin::testing
