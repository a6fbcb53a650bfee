// What every fuzz target does around the exports: start the body once, hand
// the plug-in exactly the bytes a host would (so AddressSanitizer sees any
// read past them), free what a host frees, and stop at once when a property
// fails, so libFuzzer keeps the input that broke it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"

namespace pallowin::fuzz {

[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::abort();
}
#define FUZZ_CHECK(cond) ((cond) ? void(0) : ::pallowin::fuzz::Broken(#cond, __FILE__, __LINE__))

inline void StartPlugin() {
    if (!PluginStartup()) Broken("PluginStartup", __FILE__, __LINE__);
    PluginSettings = DefaultSettings;
}

// A heap copy of exactly `size` bytes: one byte more read is a report.
class ExactBytes {
public:
    ExactBytes(const std::uint8_t* data, std::size_t size)
        : bytes_(new std::uint8_t[size]), size_(size) {
        if (size != 0) std::memcpy(bytes_.get(), data, size);
    }
    const char* AsSource() const { return reinterpret_cast<const char*>(bytes_.get()); }
    std::uint8_t* Data() { return bytes_.get(); }
    std::size_t Size() const { return size_; }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_;
};

// A host frees every block it was handed; after that nothing may be alive.
inline void FreeAsHost(platform::HostBlock block) {
    if (block == nullptr) return;
    FUZZ_CHECK(platform::portable::IsLiveHostBlock(block));
    FUZZ_CHECK(!platform::portable::IsHostBlockLocked(block));
    platform::FreeHostBlock(block);
}
inline void CheckNothingLeftAlive() {
    FUZZ_CHECK(platform::portable::LiveHostBlockCount() == 0);
    FUZZ_CHECK(PluginBody != nullptr);
    FUZZ_CHECK(PluginBody->FFileData.empty());
    FUZZ_CHECK(PluginBody->FWorkBitmap == nullptr);
}

// Takes the input's leading control bytes; missing ones read as 0.
class Controls {
public:
    Controls(const std::uint8_t*& data, std::size_t& size, std::size_t count) {
        for (std::size_t i = 0; i < count && i < sizeof bytes_; ++i) {
            if (size == 0) break;
            bytes_[i] = *data++;
            --size;
        }
    }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
    std::uint16_t Word(std::size_t i) const {
        return static_cast<std::uint16_t>(bytes_[i] | bytes_[i + 1] << 8);
    }

private:
    std::uint8_t bytes_[16] = {};
};

}  // namespace pallowin::fuzz
