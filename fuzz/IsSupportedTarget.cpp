// IsSupported with a buffer and with a file handle. The check may read only
// the 40 bytes it compares (hosts hand over fewer than the 2048 they
// promise), so the buffer is an exact heap copy of 40 bytes, or of the whole
// input when it is longer: a read past either is a report.
//
// Input: [control][name length][name][file bytes]. Control bit 0: BakMode;
// bit 1: pass a file handle instead of a buffer.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "fuzz/FuzzHost.h"

using namespace pallowin;
using namespace pallowin::fuzz;

namespace {

bool SignatureMatches(const std::uint8_t* first, std::size_t size) {
    if (size < 20) return false;
    return std::memcmp(first, DrawingSignature, 20) == 0 || std::memcmp(first, FigureSignature, 20) == 0;
}

void CheckAnswer(std::int32_t answer, bool recognisable) {
    FUZZ_CHECK(answer == 0 || answer == 1);
    FUZZ_CHECK(answer == 0 || recognisable);
    if (!PluginSettings.BakMode) FUZZ_CHECK((answer == 1) == recognisable);
    FUZZ_CHECK((answer == 1) == (PluginBody->FFileKind != fkNone));
}

void ByBuffer(const std::string& name, const std::uint8_t* data, std::size_t size) {
    // What a host hands over for a short file: its bytes, zeros after them.
    std::uint8_t first[40] = {};
    std::memcpy(first, data, std::min<std::size_t>(size, 40));
    const bool recognisable = SignatureMatches(first, 40);

    ExactBytes exactly40(first, 40);
    CheckAnswer(IsSupported(name.c_str(), exactly40.Data()), recognisable);
    if (size > 40) {
        ExactBytes whole(data, size);
        CheckAnswer(IsSupported(name.c_str(), whole.Data()), recognisable);
    }
}

// A file of fewer than 40 bytes is never recognised through a handle, and the
// handle moves by what was read and stays open.
void ByHandle(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const int fd = ::memfd_create("is-supported", MFD_CLOEXEC);
    if (fd < 0 || fd > 0xFFFF) {
        if (fd >= 0) ::close(fd);
        return;
    }
    if (size != 0) FUZZ_CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
    FUZZ_CHECK(::lseek(fd, 0, SEEK_SET) == 0);
    const bool recognisable = size >= 40 && SignatureMatches(data, size);
    CheckAnswer(IsSupported(name.c_str(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(fd))),
                recognisable);
    const off_t moved = ::lseek(fd, 0, SEEK_CUR);
    FUZZ_CHECK(moved >= 0 && moved <= 40);
    FUZZ_CHECK(::close(fd) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartPlugin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Controls controls(data, size, 2);
    const std::size_t nameLength = std::min<std::size_t>(controls[1] % 64, size);
    const std::string name(reinterpret_cast<const char*>(data), nameLength);
    data += nameLength;
    size -= nameLength;

    PluginSettings.BakMode = (controls[0] & 1) != 0;
    if (controls[0] & 2)
        ByHandle(name, data, size);
    else
        ByBuffer(name, data, size);
    CheckNothingLeftAlive();
    return 0;
}
