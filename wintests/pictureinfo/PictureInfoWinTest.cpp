// GetPictureInfo through the loaded 64-bit plug-in: the bytes of the text
// block a host receives, the file offset, short and unrecognised inputs, and
// the file opened with read sharing (a reader elsewhere does not stop it, a
// writer does).
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/SpiTypes.h"
#include "tools/jwwriter/JwWriter.h"
#include "wintests/harness/WinCheck.h"

namespace {

using namespace pallowin;
using namespace pallowin::jwwriter;
using namespace std::literals;

using GetPictureInfoFn = int(WINAPI*)(const char*, LONG_PTR, unsigned, PictureInfo*);
GetPictureInfoFn getPictureInfo;
std::string folder;

const std::string MemoLabel = "\x83\x81\x81\x40\x83\x82\x81\x46";
const std::string LineLabel = "\x90\xFC\x81\x40\x90\x94\x81\x46";
const std::string ArcLabel = "\x89\x7E\x8C\xCA\x90\x94\x81\x46";
const std::string TextLabel = "\x95\xB6\x97\xF1\x90\x94\x81\x46";
const std::string PointLabel = "\x93\x5F\x81\x40\x90\x94\x81\x46";

std::string Expected(const std::string& memo, const char* v1, const char* v2, const char* v3, const char* v4) {
    return MemoLabel + memo + "\n" + LineLabel + v1 + "\n" + ArcLabel + v2 + "\n" + TextLabel + v3 + "\n" +
           PointLabel + v4;
}

bool AllZero(const PictureInfo& info) {
    const PictureInfo zero{};
    return std::memcmp(&info, &zero, sizeof info) == 0;
}

// The whole text block as the host sees it, freed afterwards; checks that it
// was handed over unlocked.
std::string TakeBlock(PictureInfo& info) {
    HLOCAL block = static_cast<HLOCAL>(info.InfoText);
    if (!CHECK(block != nullptr)) return {};
    CHECK((LocalFlags(block) & LMEM_LOCKCOUNT) == 0);
    const SIZE_T size = LocalSize(block);
    const char* bytes = static_cast<const char*>(LocalLock(block));
    std::string text(bytes, size);
    LocalUnlock(block);
    CHECK(LocalFree(block) == nullptr);
    return text;
}

std::string SaveFixture(const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder + name;
    CHECK(SaveFile(path, bytes));
    return path;
}

int DescribeMemory(const std::vector<std::uint8_t>& image, PictureInfo& info) {
    std::memset(&info, 0xCC, sizeof info);
    return getPictureInfo(reinterpret_cast<const char*>(image.data()), static_cast<LONG_PTR>(image.size()), 1,
                          &info);
}

int DescribeFile(const std::string& path, LONG_PTR offset, PictureInfo& info) {
    std::memset(&info, 0xCC, sizeof info);
    return getPictureInfo(path.c_str(), offset, 0, &info);
}

void MemoryImageGivesTheExactText() {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.countLineOverride = "12,3,0,5,"s;
    PictureInfo info;
    if (!CHECK(DescribeMemory(WriteDrawing(spec), info) == rcOk)) return;
    CHECK(info.Left == 0 && info.Top == 0 && info.Width == 518 && info.Height == 366);
    CHECK(info.XDensity == 0 && info.YDensity == 0 && info.ColorDepth == 24);
    CHECK(TakeBlock(info) == Expected("ABC", "12", "3", "0", "5") + '\0');

    FigureSpec figure;
    figure.lines.assign(4, Line(0, 0, 1, 1));
    figure.points.assign(2, Point(1, 1));
    if (!CHECK(DescribeMemory(WriteFigure(figure), info) == rcOk)) return;
    CHECK(info.Width == 100 && info.Height == 100);
    CHECK(TakeBlock(info) == Expected("", "4", "0", "2", "0") + '\0');
}

void ShortAndUnrecognisedInputs() {
    DrawingSpec spec;
    spec.truncateTo = 300;
    PictureInfo info;
    if (CHECK(DescribeMemory(WriteDrawing(spec), info) == rcOk)) TakeBlock(info);
    spec.truncateTo = 299;
    CHECK(DescribeMemory(WriteDrawing(spec), info) == rcFileError);
    CHECK(AllZero(info));
    auto other = WriteDrawing({});
    other[5] = 'X';
    CHECK(DescribeMemory(other, info) == rcUnsupportedFormat);
    CHECK(AllZero(info));
    CHECK(DescribeFile(folder + "missing.jwc", 0, info) == rcFileError);
    CHECK(AllZero(info));
}

void FileOffsetMovesOnlyTheSignature() {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.countLineOverride = "3,1,0,2,"s;
    auto bytes = WriteDrawing(spec);
    std::vector<std::uint8_t> identification(bytes.begin(), bytes.begin() + 40);
    std::memcpy(bytes.data(), "not a signature here", 20);
    std::memcpy(bytes.data() + 128, identification.data(), 40);
    const std::string path = SaveFixture("offset.jwc", bytes);
    PictureInfo info;
    if (CHECK(DescribeFile(path, 128, info) == rcOk)) CHECK(TakeBlock(info) == Expected("ABC", "3", "1", "0", "2") + '\0');
    CHECK(DescribeFile(path, 0, info) == rcUnsupportedFormat);
    CHECK(AllZero(info));
}

// Another program holds the file open while the host asks about it.
void OtherOpenersOfTheFile() {
    DrawingSpec spec;
    spec.memo = "held";
    const std::string path = SaveFixture("held.jwc", WriteDrawing(spec));
    const struct {
        DWORD access, share;
        int expected;
    } holders[] = {
        {GENERIC_READ, FILE_SHARE_READ, rcOk},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, rcOk},
        {GENERIC_WRITE, FILE_SHARE_READ, rcFileError},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, rcFileError},
        {GENERIC_READ, 0, rcFileError},
    };
    for (const auto& h : holders) {
        HANDLE holder = CreateFileA(path.c_str(), h.access, h.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (!CHECK(holder != INVALID_HANDLE_VALUE)) continue;
        PictureInfo info;
        const int rc = DescribeFile(path, 0, info);
        if (!CHECK(rc == h.expected))
            std::printf("  holder access %lx share %lx: answered %d\n", h.access, h.share, rc);
        if (rc == rcOk)
            CHECK(TakeBlock(info) == Expected("held", "0", "0", "0", "0") + '\0');
        else
            CHECK(AllZero(info));
        CloseHandle(holder);
    }
}

}  // namespace

int main() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "pallowin-pictureinfo-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);

    HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
    if (!CHECK(plugin != nullptr)) return wincheck::Finish("pictureinfo_test");
    getPictureInfo = reinterpret_cast<GetPictureInfoFn>(GetProcAddress(plugin, "GetPictureInfo"));
    if (CHECK(getPictureInfo != nullptr)) {
        MemoryImageGivesTheExactText();
        ShortAndUnrecognisedInputs();
        FileOffsetMovesOnlyTheSignature();
        OtherOpenersOfTheFile();
    }
    CHECK(FreeLibrary(plugin));

    for (const char* name : {"offset.jwc", "held.jwc"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
    return wincheck::Finish("pictureinfo_test");
}
