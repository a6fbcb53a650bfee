// The platform layer for Linux. Host blocks are counted heap records so tests
// can see exactly which blocks are alive; host file handles are POSIX file
// descriptors; the registry is an in-memory map.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

#include "platform/Failures.h"
#include "platform/Platform.h"
#include "platform/PortableControl.h"

namespace pallowin::platform {
namespace {

struct HostRecord {
    std::size_t size = 0;
    unsigned lockCount = 0;
    std::unique_ptr<std::uint8_t[]> data;
};

struct PortableState {
    // Keyed by the handle the host sees; the record itself is the handle.
    std::unordered_map<HostBlock, std::unique_ptr<HostRecord>> blocks;
    std::size_t allocations = 0;
    std::size_t allocationsToFailure = 0;  // 0: no failure armed
    std::size_t fileReads = 0;
    std::size_t readsToFailure = 0;
    std::map<std::string, portable::Section> registry;
    bool keyUnavailable = false;
    bool writesFail = false;
};

PortableState& State() {
    static PortableState state;
    return state;
}

HostRecord* FindRecord(HostBlock block) {
    auto& blocks = State().blocks;
    auto found = blocks.find(block);
    return found == blocks.end() ? nullptr : found->second.get();
}

// Counts down an armed failure; true when this call is the one to fail.
bool Strike(std::size_t& countdown) {
    return countdown != 0 && --countdown == 0;
}

bool NextFileReadFails() {
    ++State().fileReads;
    return Strike(State().readsToFailure);
}

// Reads until `count` bytes or the end; -1 on a read error.
std::int64_t ReadFully(int fd, void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, out + done, count - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace

HostBlock AllocHostBlock(std::size_t bytes) {
    auto& state = State();
    ++state.allocations;
    if (Strike(state.allocationsToFailure))
        return nullptr;
    auto record = std::make_unique<HostRecord>();
    record->size = bytes;
    if (bytes != 0) {
        record->data.reset(new (std::nothrow) std::uint8_t[bytes]());
        if (!record->data)
            return nullptr;
    }
    HostBlock handle = record.get();
    state.blocks.emplace(handle, std::move(record));
    return handle;
}

// Like LocalLock: a zero-sized block has no memory to lock.
void* LockHostBlock(HostBlock block) {
    HostRecord* record = FindRecord(block);
    if (!record || !record->data)
        return nullptr;
    ++record->lockCount;
    return record->data.get();
}

void UnlockHostBlock(HostBlock block) {
    HostRecord* record = FindRecord(block);
    if (record && record->lockCount > 0)
        --record->lockCount;
}

// Freeing a block that is not alive is a double free or a stray handle:
// stop at once rather than let a test pass over it.
void FreeHostBlock(HostBlock block) {
    if (!block)
        return;
    if (State().blocks.erase(block) == 0) {
        std::fprintf(stderr, "FreeHostBlock: %p is not a live host block\n", block);
        std::abort();
    }
}

std::size_t HostBlockSize(HostBlock block) {
    HostRecord* record = FindRecord(block);
    return record ? record->size : 0;
}

std::int64_t ReadHostHandle(std::uintptr_t handle, void* buffer, std::size_t count) {
    // 0 is the null handle on Windows, never a file; here it would be stdin.
    if (handle == 0 || handle > static_cast<std::uintptr_t>(INT32_MAX))
        return -1;
    return ReadFully(static_cast<int>(handle), buffer, count);
}

InputFile::InputFile(const char* path, bool /*shareRead*/) : handle_(-1) {
    if (path == nullptr) throw EFOpenError("Cannot open a file without a name.");
    // Sharing is a Windows notion: Linux readers never lock each other out.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError(std::string("Cannot open file \"") + path + "\". " + std::strerror(errno));
    struct stat info {};
    // A folder opens on Linux but not on Windows; keep the Windows answer.
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw EFOpenError(std::string("Cannot open file \"") + path + "\". Is a directory");
    }
    handle_ = fd;
}

InputFile::~InputFile() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

std::int64_t InputFile::Length() const {
    struct stat info {};
    if (::fstat(static_cast<int>(handle_), &info) != 0)
        throw EReadError("Stream read error");
    return static_cast<std::int64_t>(info.st_size);
}

void InputFile::Seek(std::int64_t position) {
    if (::lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) < 0)
        throw EReadError("Stream read error");
}

std::size_t InputFile::Read(void* buffer, std::size_t count) {
    if (NextFileReadFails())
        throw EReadError("Stream read error");
    const std::int64_t got = ReadFully(static_cast<int>(handle_), buffer, count);
    if (got < 0)
        throw EReadError("Stream read error");
    return static_cast<std::size_t>(got);
}

namespace {

class PortableSettingsKey final : public SettingsKey {
public:
    std::optional<std::string> ReadString(const char* section, const char* name) override {
        auto& registry = State().registry;
        auto foundSection = registry.find(section);
        if (foundSection == registry.end())
            return std::nullopt;
        auto foundValue = foundSection->second.find(name);
        if (foundValue == foundSection->second.end() || !foundValue->second.isString)
            return std::nullopt;
        return foundValue->second.text;
    }

    bool WriteString(const char* section, const char* name, const std::string& text) override {
        if (State().writesFail)
            return false;
        State().registry[section][name] = portable::StoredValue{true, text};
        return true;
    }
};

}  // namespace

std::unique_ptr<SettingsKey> OpenSettingsKey() {
    if (State().keyUnavailable)
        return nullptr;
    return std::make_unique<PortableSettingsKey>();
}

std::optional<ScreenRect> WindowScreenRect(void*) {
    return std::nullopt;
}

namespace portable {

std::size_t LiveHostBlockCount() { return State().blocks.size(); }
bool IsLiveHostBlock(HostBlock block) { return FindRecord(block) != nullptr; }
bool IsHostBlockLocked(HostBlock block) {
    HostRecord* record = FindRecord(block);
    return record && record->lockCount > 0;
}
std::size_t HostAllocationCount() { return State().allocations; }
void FailNthHostAllocation(std::size_t n) { State().allocationsToFailure = n; }
void FailNthFileRead(std::size_t n) { State().readsToFailure = n; }
std::size_t FileReadCount() { return State().fileReads; }

void ResetCounters() {
    auto& state = State();
    state.allocations = 0;
    state.allocationsToFailure = 0;
    state.fileReads = 0;
    state.readsToFailure = 0;
}

std::map<std::string, Section>& Registry() { return State().registry; }
void ClearRegistry() { State().registry.clear(); }
void SetSettingsKeyUnavailable(bool unavailable) { State().keyUnavailable = unavailable; }
void SetRegistryWritesFail(bool fail) { State().writesFail = fail; }

}  // namespace portable
}  // namespace pallowin::platform
