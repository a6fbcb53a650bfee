#include "plugin/Streams.h"

#include <algorithm>
#include <cstring>

#include "platform/Failures.h"

namespace pallowin {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= bytes_.size()) return 0;
    const std::size_t n = std::min(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

void MemoryStream::Seek(std::int64_t position) {
    if (position < 0) throw EFilerError("seek before the start of the data");
    // Past the end, reads answer nothing, as they do at the end.
    position_ = static_cast<std::uint64_t>(position) > bytes_.size()
                    ? bytes_.size()
                    : static_cast<std::size_t>(position);
}

std::size_t HostHandleStream::Read(void* buffer, std::size_t count) {
    const std::int64_t got = platform::ReadHostHandle(handle_, buffer, count);
    if (got < 0) throw EReadError("the host's file handle cannot be read");
    return static_cast<std::size_t>(got);
}

void HostHandleStream::Seek(std::int64_t) {
    throw EFilerError("the host's file handle is read forward only");
}

std::size_t InputFileStream::Read(void* buffer, std::size_t count) {
    return file_.Read(buffer, count);
}

void InputFileStream::Seek(std::int64_t position) {
    file_.Seek(position);
}

}  // namespace pallowin
