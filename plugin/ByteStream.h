// A readable byte stream, as the file check sees its input: a copy of the
// host's buffer, a host file handle, or a file opened by path.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pallowin {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Answers the bytes read: fewer than count at the end of the data.
    // Throws EReadError when the underlying read fails.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Moves to an absolute position from the start of the stream.
    virtual void Seek(std::int64_t position) = 0;
};

}  // namespace pallowin
