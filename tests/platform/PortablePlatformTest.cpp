// The portable platform layer: host block accounting, fault injection, file
// reads and the in-memory settings store behave as the Win32 layer does.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/Failures.h"
#include "platform/Platform.h"
#include "platform/PortableControl.h"

using namespace pallowin;
using namespace pallowin::platform;
namespace portable = pallowin::platform::portable;

namespace {

class PortablePlatform : public ::testing::Test {
protected:
    void SetUp() override {
        portable::ResetCounters();
        portable::ClearRegistry();
        portable::SetSettingsKeyUnavailable(false);
        portable::SetRegistryWritesFail(false);
        liveBefore_ = portable::LiveHostBlockCount();
        folder_ = std::filesystem::temp_directory_path() /
                  ("pallowin-platform-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        portable::ResetCounters();
        portable::ClearRegistry();
        portable::SetSettingsKeyUnavailable(false);
        portable::SetRegistryWritesFail(false);
        std::filesystem::remove_all(folder_);
        EXPECT_EQ(portable::LiveHostBlockCount(), liveBefore_) << "a host block leaked";
    }

    std::string MakeFile(const char* name, const std::string& bytes) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::size_t liveBefore_ = 0;
    std::filesystem::path folder_;
};

TEST_F(PortablePlatform, HostBlocksAreZeroFilledAndCounted) {
    HostBlock first = AllocHostBlock(1064);
    HostBlock second = AllocHostBlock(3);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(portable::LiveHostBlockCount(), liveBefore_ + 2);
    EXPECT_EQ(portable::HostAllocationCount(), 2u);
    EXPECT_EQ(HostBlockSize(first), 1064u);
    EXPECT_EQ(HostBlockSize(second), 3u);

    auto* bytes = static_cast<std::uint8_t*>(LockHostBlock(first));
    ASSERT_NE(bytes, nullptr);
    // A handle is not the memory it stands for, as with movable blocks.
    EXPECT_NE(static_cast<void*>(bytes), first);
    for (int i = 0; i < 1064; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    bytes[1063] = 0xAB;

    EXPECT_TRUE(portable::IsHostBlockLocked(first));
    EXPECT_EQ(LockHostBlock(first), bytes) << "a second lock sees the same memory";
    UnlockHostBlock(first);
    EXPECT_TRUE(portable::IsHostBlockLocked(first)) << "one lock is still held";
    UnlockHostBlock(first);
    EXPECT_FALSE(portable::IsHostBlockLocked(first));
    UnlockHostBlock(first);  // an extra unlock is harmless, as LocalUnlock's is

    FreeHostBlock(first);
    EXPECT_FALSE(portable::IsLiveHostBlock(first));
    EXPECT_TRUE(portable::IsLiveHostBlock(second));
    FreeHostBlock(second);
    FreeHostBlock(nullptr);
    EXPECT_EQ(portable::LiveHostBlockCount(), liveBefore_);
}

TEST_F(PortablePlatform, ZeroSizedBlockHasNoMemoryToLock) {
    HostBlock block = AllocHostBlock(0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(HostBlockSize(block), 0u);
    EXPECT_EQ(LockHostBlock(block), nullptr);
    FreeHostBlock(block);
}

TEST_F(PortablePlatform, DeadBlocksAnswerNothing) {
    HostBlock block = AllocHostBlock(8);
    FreeHostBlock(block);
    EXPECT_EQ(LockHostBlock(block), nullptr);
    EXPECT_EQ(HostBlockSize(block), 0u);
    EXPECT_FALSE(portable::IsHostBlockLocked(block));
}

TEST(PortablePlatformDeath, FreeingADeadBlockStops) {
    HostBlock block = AllocHostBlock(8);
    FreeHostBlock(block);
    EXPECT_DEATH(FreeHostBlock(block), "not a live host block");
}

// Which allocation fails, counted from the moment the failure is armed.
class NthAllocationFails : public ::testing::TestWithParam<std::size_t> {};

TEST_P(NthAllocationFails, OnlyThatOneFailsAndNothingIsLeft) {
    portable::ResetCounters();
    const std::size_t live = portable::LiveHostBlockCount();
    HostBlock before = AllocHostBlock(4);  // made before arming: does not count
    const std::size_t n = GetParam();
    portable::FailNthHostAllocation(n);
    std::vector<HostBlock> blocks;
    for (std::size_t i = 1; i <= 5; ++i) {
        HostBlock block = AllocHostBlock(16);
        EXPECT_EQ(block == nullptr, i == n) << "allocation " << i;
        if (block)
            blocks.push_back(block);
    }
    for (HostBlock block : blocks)
        FreeHostBlock(block);
    // The armed failure is spent: later allocations succeed.
    HostBlock after = AllocHostBlock(16);
    EXPECT_NE(after, nullptr);
    FreeHostBlock(after);
    FreeHostBlock(before);
    EXPECT_EQ(portable::LiveHostBlockCount(), live);
    portable::ResetCounters();
}

INSTANTIATE_TEST_SUITE_P(Positions, NthAllocationFails, ::testing::Values(1u, 2u, 5u));

TEST_F(PortablePlatform, ReadWholeFileAndInputFile) {
    const std::string path = MakeFile("whole.bin", std::string("JwcData\0\x01\x02", 10));
    EXPECT_EQ(ReadWholeFile(path.c_str()),
              (std::vector<std::uint8_t>{'J', 'w', 'c', 'D', 'a', 't', 'a', 0, 1, 2}));

    InputFile file(path.c_str(), false);
    EXPECT_EQ(file.Length(), 10);
    file.Seek(7);
    std::uint8_t tail[8] = {};
    EXPECT_EQ(file.Read(tail, sizeof tail), 3u) << "a read at the end answers the bytes it got";
    EXPECT_EQ(tail[2], 2);
    EXPECT_EQ(file.Read(tail, sizeof tail), 0u);

    EXPECT_TRUE(ReadWholeFile(MakeFile("empty.bin", "").c_str()).empty());
}

TEST_F(PortablePlatform, FilesThatCannotBeOpened) {
    const std::string missing = (folder_ / "missing.jwc").string();
    EXPECT_THROW(ReadWholeFile(missing.c_str()), EFOpenError);
    EXPECT_THROW(InputFile(missing.c_str(), true), EFOpenError);
    // A folder is not a file, as on Windows.
    EXPECT_THROW(ReadWholeFile(folder_.string().c_str()), EFOpenError);
}

TEST_F(PortablePlatform, NthFileReadFails) {
    const std::string path = MakeFile("reads.bin", "0123456789");
    portable::FailNthFileRead(2);
    EXPECT_NO_THROW(ReadWholeFile(path.c_str()));
    EXPECT_THROW(ReadWholeFile(path.c_str()), EReadError);
    EXPECT_NO_THROW(ReadWholeFile(path.c_str())) << "the failure is spent";

    // InputFile reads count in the same sequence.
    portable::ResetCounters();
    portable::FailNthFileRead(3);
    InputFile file(path.c_str(), true);
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_NO_THROW(ReadWholeFile(path.c_str()));
    EXPECT_THROW(file.Read(&byte, 1), EReadError);
    EXPECT_EQ(portable::FileReadCount(), 3u);
}

TEST_F(PortablePlatform, HostHandleIsAFileDescriptorLeftOpenAndMoved) {
    const std::string path = MakeFile("handle.bin", std::string(100, 'x') + "tail");
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ::lseek(fd, 60, SEEK_SET);
    char buffer[40];
    EXPECT_EQ(ReadHostHandle(static_cast<std::uintptr_t>(fd), buffer, sizeof buffer), 40);
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 100) << "reading moves the host's position";
    EXPECT_EQ(ReadHostHandle(static_cast<std::uintptr_t>(fd), buffer, sizeof buffer), 4);
    EXPECT_EQ(std::memcmp(buffer, "tail", 4), 0);
    EXPECT_EQ(::close(fd), 0) << "the handle is still open";

    EXPECT_EQ(ReadHostHandle(static_cast<std::uintptr_t>(fd), buffer, sizeof buffer), -1)
        << "a closed handle reads as a failure";
    EXPECT_EQ(ReadHostHandle(~std::uintptr_t{0}, buffer, sizeof buffer), -1);
    // The null handle is no file, as on Windows (here it would read stdin).
    EXPECT_EQ(ReadHostHandle(0, buffer, sizeof buffer), -1);
    EXPECT_THROW(InputFile(nullptr, true), EFOpenError);
}

TEST_F(PortablePlatform, SettingsKeyStoresStringsBySection) {
    auto key = OpenSettingsKey();
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->ReadString("Color", "Back"));
    EXPECT_TRUE(portable::Registry().empty()) << "reading creates no section";

    EXPECT_TRUE(key->WriteString("Color", "Back", "0xFFFFFF"));
    EXPECT_EQ(key->ReadString("Color", "Back"), "0xFFFFFF");
    EXPECT_FALSE(key->ReadString("Image", "Back")) << "sections are apart";

    portable::Registry()["Color"]["Line1"] = portable::StoredValue{false, "5"};
    EXPECT_FALSE(key->ReadString("Color", "Line1")) << "a value of another type reads as missing";
    EXPECT_TRUE(key->WriteString("Color", "Line1", "0x000000"));
    EXPECT_EQ(key->ReadString("Color", "Line1"), "0x000000") << "a write replaces the type";
    EXPECT_TRUE(portable::Registry()["Color"]["Line1"].isString);
}

TEST_F(PortablePlatform, SettingsKeyFailures) {
    portable::SetRegistryWritesFail(true);
    auto key = OpenSettingsKey();
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->WriteString("System", "Version", "104"));
    EXPECT_TRUE(portable::Registry().empty());

    portable::SetSettingsKeyUnavailable(true);
    EXPECT_EQ(OpenSettingsKey(), nullptr);
}

TEST(PortableWindow, NoWindowHasARectangle) {
    EXPECT_FALSE(WindowScreenRect(nullptr));
    int notAWindow = 0;
    EXPECT_FALSE(WindowScreenRect(&notAWindow));
}

}  // namespace
