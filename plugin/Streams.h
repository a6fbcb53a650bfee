// The three byte streams the plug-in reads its input through: bytes the host
// already holds in memory, a file handle the host opened, and a file opened
// here by path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Platform.h"
#include "plugin/ByteStream.h"

namespace pallowin {

// Reads the given bytes in place; the caller keeps them alive and unchanged.
class MemoryStream final : public ByteStream {
public:
    explicit MemoryStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    // A position past the end is allowed; reads there answer 0 bytes. A
    // negative one throws EFilerError.
    void Seek(std::int64_t position) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Reads from the host's handle at its current position. The handle stays the
// host's: it is never closed, and its position is not put back.
class HostHandleStream final : public ByteStream {
public:
    explicit HostHandleStream(std::uintptr_t handle) : handle_(handle) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    // The host's handle is read forward only: throws EFilerError.
    void Seek(std::int64_t position) override;

private:
    std::uintptr_t handle_;
};

// A file opened by path for reading, closed when the stream goes.
// Throws EFOpenError when the file cannot be opened.
class InputFileStream final : public ByteStream {
public:
    explicit InputFileStream(const char* path, bool shareRead = true) : file_(path, shareRead) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    void Seek(std::int64_t position) override;
    std::int64_t Length() const { return file_.Length(); }

private:
    platform::InputFile file_;
};

}  // namespace pallowin
