// One reading of the whole file, shared by both platform layers.
#include <limits>
#include <new>

#include "platform/Failures.h"
#include "platform/Platform.h"

namespace pallowin::platform {

std::vector<std::uint8_t> ReadWholeFile(const char* path) {
    InputFile file(path, true);
    const std::int64_t length = file.Length();
    // A file larger than the address space cannot be held, whatever its data.
    if (length < 0 || static_cast<std::uint64_t>(length) > std::numeric_limits<std::size_t>::max() / 2)
        throw EOutOfMemory();
    std::vector<std::uint8_t> data;
    try {
        data.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    if (file.Read(data.data(), data.size()) != data.size())
        throw EReadError("Stream read error");
    return data;
}

}  // namespace pallowin::platform
