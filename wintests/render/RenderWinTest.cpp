// Pictures through the loaded 64-bit plug-in, as a host receives them: both
// blocks, their sizes and lock state, the progress the callback sees, abort,
// failures, the host's floating-point state, and the pictures themselves,
// written under $PALLOWIN_BUILD/render-pictures for the native comparison.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "drawing/X87Precision.h"
#include "plugin/DIBSection.h"
#include "plugin/SpiTypes.h"
#include "wintests/harness/WinCheck.h"
#include "wintests/render/PictureCatalogue.h"

namespace {

using namespace pallowin;

using IsSupportedFn = int(WINAPI*)(const char*, void*);
using GetPictureFn = int(WINAPI*)(const char*, LONG_PTR, unsigned, HLOCAL*, HLOCAL*, ProgressCallback,
                                  LONG_PTR);
IsSupportedFn isSupported;
GetPictureFn getPicture, getPreview;

std::vector<std::int32_t> reports;
std::vector<std::uint16_t> callbackWords;  // the x87 control word each report saw
int stopFromCall = 1 << 30;
bool badCall = false;

std::int32_t SPI_CALL Record(std::int32_t num, std::int32_t denom, HostValue data) {
    if (denom != 110 || data != 0x5A5A) badCall = true;
    reports.push_back(num);
    callbackWords.push_back(X87Precision::ControlWord());
    return static_cast<int>(reports.size()) > stopFromCall ? 1 : 0;
}

struct Received {
    int rc = 99;
    HLOCAL info = nullptr, bits = nullptr;
};

bool Unlocked(HLOCAL block) { return (LocalFlags(block) & LMEM_LOCKCOUNT) == 0; }

std::vector<std::uint8_t> Bytes(HLOCAL block) {
    const SIZE_T size = LocalSize(block);
    const auto* p = static_cast<const std::uint8_t*>(LocalLock(block));
    std::vector<std::uint8_t> v(p, p + size);
    LocalUnlock(block);
    return v;
}

void Free(Received& r) {
    if (r.info) CHECK(LocalFree(r.info) == nullptr);
    if (r.bits) CHECK(LocalFree(r.bits) == nullptr);
    r.info = r.bits = nullptr;
}

bool Check(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> first(2048, 0);
    std::memcpy(first.data(), file.data(), file.size() < 2048 ? file.size() : 2048);
    return isSupported("catalogue.jwc", first.data()) == 1;
}

Received Get(const std::vector<std::uint8_t>& file, bool preview) {
    reports.clear();
    badCall = false;
    Received r;
    r.rc = (preview ? getPreview : getPicture)(reinterpret_cast<const char*>(file.data()),
                                               static_cast<LONG_PTR>(file.size()), 1, &r.info, &r.bits, Record,
                                               0x5A5A);
    return r;
}

Received GetFile(const std::string& path) {
    reports.clear();
    Received r;
    r.rc = getPicture(path.c_str(), 0, 0, &r.info, &r.bits, Record, 0x5A5A);
    return r;
}

bool OnlyBiSize(HLOCAL info) {
    std::vector<std::uint8_t> expected(BitmapInfoBlockSize, 0);
    expected[0] = 40;
    return info != nullptr && Unlocked(info) && Bytes(info) == expected;
}

// Windows paths for the Unix folder CTest names.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

void NothingBeforeACheck() {
    Received r = Get(catalogue::Cases()[0].file, false);
    CHECK(r.rc == rcNotImplemented);
    CHECK(reports.empty());
    CHECK(OnlyBiSize(r.info));
    CHECK(r.bits == nullptr);
    Free(r);
}

// Every catalogue picture: the blocks as the table says, the progress, and
// the bytes written out.
std::vector<std::vector<std::uint8_t>> RenderCatalogue(const catalogue::Settings& settings,
                                                       const std::string& outFolder) {
    std::vector<std::vector<std::uint8_t>> pictures;
    for (const catalogue::PictureCase& c : catalogue::Cases()) {
        CHECK(Check(c.file));
        Received r = Get(c.file, c.preview);
        if (!CHECK(r.rc == rcOk)) {
            std::printf("  case %s answered %d\n", catalogue::PictureFileName(settings, c).c_str(), r.rc);
            Free(r);
            pictures.emplace_back();
            continue;
        }
        const int w = c.preview ? 128 : c.kind == fkDrawing ? settings.jwcW : settings.jwkW;
        const int h = c.preview ? 90 : c.kind == fkDrawing ? settings.jwcH : settings.jwkH;
        const int stride = (w * 3 + 3) / 4 * 4;
        CHECK(Unlocked(r.info) && Unlocked(r.bits));
        CHECK(LocalSize(r.info) == BitmapInfoBlockSize);
        CHECK(LocalSize(r.bits) == static_cast<SIZE_T>(stride) * h);
        const std::vector<std::uint8_t> info = Bytes(r.info);
        BitmapInfoHeader header;
        std::memcpy(&header, info.data(), sizeof header);
        CHECK(header.biSize == 40 && header.biWidth == w && header.biHeight == h && header.biPlanes == 1 &&
              header.biBitCount == 24 && header.biCompression == 0 &&
              header.biSizeImage == static_cast<std::uint32_t>(stride * h) && header.biXPelsPerMeter == 0 &&
              header.biYPelsPerMeter == 0 && header.biClrUsed == 0 && header.biClrImportant == 0);
        bool restZero = true;
        for (std::size_t i = 40; i < info.size(); ++i) restZero = restZero && info[i] == 0;
        CHECK(restZero);
        CHECK(!badCall);
        CHECK(reports.size() >= 5 && reports[0] == 0 && reports[1] == 0 && reports[2] == 5 &&
              reports[reports.size() - 2] == 110 && reports.back() == 110);

        std::vector<std::uint8_t> picture(info.begin(), info.begin() + 40);
        const std::vector<std::uint8_t> pixels = Bytes(r.bits);
        picture.insert(picture.end(), pixels.begin(), pixels.end());
        if (!outFolder.empty())
            CHECK(jwwriter::SaveFile(outFolder + catalogue::PictureFileName(settings, c), picture));
        pictures.push_back(std::move(picture));
        Free(r);
    }
    return pictures;
}

void AbortAtOnce() {
    const auto file = catalogue::Cases()[0].file;
    CHECK(Check(file));
    stopFromCall = 0;
    Received r = Get(file, false);
    stopFromCall = 1 << 30;
    CHECK(r.rc == rcAborted);
    CHECK(reports.size() == 1);
    CHECK(OnlyBiSize(r.info));
    CHECK(r.bits == nullptr);
    Free(r);
}

// The kind the last check recorded decides: a drawing's bytes after a
// figure's check go to the figure renderer, at the figure's size. Without a
// callback the picture is the same, and no report is made.
void KindRoutingAndNullCallback(const std::vector<std::uint8_t>& expected) {
    const auto drawing = catalogue::Cases()[0].file;
    CHECK(Check(catalogue::Cases()[3].file));
    // An empty drawing's count line reads as a figure's: four zero counts,
    // then numbers for the origin and the scale.
    Received routed = Get(jwwriter::WriteDrawing({}), false);
    CHECK(routed.rc == rcOk);
    if (routed.rc == rcOk) {
        BitmapInfoHeader header;
        std::memcpy(&header, Bytes(routed.info).data(), sizeof header);
        CHECK(header.biWidth == 100 && header.biHeight == 100);
    }
    Free(routed);

    CHECK(Check(drawing));
    reports.clear();
    Received quiet;
    quiet.rc = getPicture(reinterpret_cast<const char*>(drawing.data()), static_cast<LONG_PTR>(drawing.size()), 1,
                          &quiet.info, &quiet.bits, nullptr, 0);
    CHECK(quiet.rc == rcOk);
    CHECK(reports.empty());
    if (quiet.rc == rcOk) {
        std::vector<std::uint8_t> picture = Bytes(quiet.info);
        picture.resize(40);
        const auto pixels = Bytes(quiet.bits);
        picture.insert(picture.end(), pixels.begin(), pixels.end());
        CHECK(picture == expected);
    }
    Free(quiet);
}

void FailureRows(const std::string& folder) {
    const auto drawing = catalogue::Cases()[0].file;
    const auto figure = catalogue::Cases()[3].file;
    const std::string missing = folder + "no-such-file.jwc";

    CHECK(Check(drawing));
    Received r = GetFile(missing);
    CHECK(r.rc == rcFileError && r.info == nullptr && r.bits == nullptr);

    CHECK(Check(figure));
    r = GetFile(missing);
    CHECK(r.rc == rcInternalError && r.info == nullptr && r.bits == nullptr);

    std::vector<std::uint8_t> cut(drawing.begin(), drawing.begin() + 2500);
    CHECK(Check(drawing));
    r = Get(cut, false);
    CHECK(r.rc == rcBrokenData);
    CHECK(OnlyBiSize(r.info));
    CHECK(r.bits == nullptr);
    Free(r);
}

void FileModeGivesTheSamePicture(const std::string& folder, const std::vector<std::uint8_t>& expected) {
    const auto drawing = catalogue::Cases()[0].file;
    const std::string path = folder + "catalogue.jwc";
    CHECK(jwwriter::SaveFile(path, drawing));
    CHECK(Check(drawing));
    Received r = GetFile(path);
    CHECK(r.rc == rcOk);
    if (r.rc == rcOk) {
        std::vector<std::uint8_t> picture = Bytes(r.info);
        picture.resize(40);
        const auto pixels = Bytes(r.bits);
        picture.insert(picture.end(), pixels.begin(), pixels.end());
        CHECK(picture == expected);
    }
    Free(r);
    DeleteFileA(path.c_str());
}

// A host running with 53-bit precision, rounding up and the invalid
// operation unmasked gets the same picture and its own state back, and its
// callback runs under that state.
void HostFloatingPointState(const std::vector<std::uint8_t>& expected) {
    const auto drawing = catalogue::Cases()[0].file;
    CHECK(Check(drawing));
    const std::uint16_t savedWord = X87Precision::ControlWord();
    const std::uint16_t hostWord = 0x0A7E;
#if defined(__SSE__)
    const unsigned savedCsr = _mm_getcsr();
    const unsigned hostCsr = 0x1F80 | 0x4000;
    _mm_setcsr(hostCsr);
#endif
    X87Precision::SetControlWord(hostWord);
    callbackWords.clear();
    Received r = Get(drawing, false);
    const std::vector<std::uint16_t> seen = callbackWords;
    std::vector<std::uint8_t> cut(drawing.begin(), drawing.begin() + 2500);
    Received broken = Get(cut, false);
    const std::uint16_t afterWord = X87Precision::ControlWord();
    X87Precision::SetControlWord(savedWord);
#if defined(__SSE__)
    const unsigned afterCsr = _mm_getcsr();
    _mm_setcsr(savedCsr);
    CHECK((afterCsr & 0xFFC0u) == (hostCsr & 0xFFC0u));
#endif
    CHECK(afterWord == hostWord);
    bool callbackSawHostWord = !seen.empty();
    for (std::uint16_t word : seen) callbackSawHostWord = callbackSawHostWord && word == hostWord;
    CHECK(callbackSawHostWord);
    CHECK(r.rc == rcOk && broken.rc == rcBrokenData);
    if (r.rc == rcOk) {
        std::vector<std::uint8_t> picture = Bytes(r.info);
        picture.resize(40);
        const auto pixels = Bytes(r.bits);
        picture.insert(picture.end(), pixels.begin(), pixels.end());
        CHECK(picture == expected);
    }
    Free(r);
    Free(broken);
}

constexpr const char* SettingsKey = "SoftWare\\Tavorin\\Morvelin";

void WriteSetting(const char* section, const char* name, std::int32_t value) {
    const std::string path = std::string(SettingsKey) + "\\" + section;
    HKEY key;
    if (!CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                               nullptr) == ERROR_SUCCESS))
        return;
    const std::string text = std::to_string(value);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

// The settings the plug-in finds when it loads.
void StoreSettings(const catalogue::Settings& s) {
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    WriteSetting("System", "Version", 104);
    WriteSetting("System", "JWC_W", s.jwcW);
    WriteSetting("System", "JWC_H", s.jwcH);
    WriteSetting("System", "JWK_W", s.jwkW);
    WriteSetting("System", "JWK_H", s.jwkH);
    const char* names[] = {"Back", "Line1", "Line2", "Line3", "Line4", "Line5", "Line6", "Text"};
    for (int i = 0; i < 8; ++i) WriteSetting("Color", names[i], s.colors[i]);
    WriteSetting("Image", "ViewMode", s.viewMode ? 1 : 0);
}

}  // namespace

int main() {
    std::string outFolder;
    if (const char* build = std::getenv("PALLOWIN_BUILD")) {
        outFolder = WindowsPath(build) + "render-pictures\\";
        CreateDirectoryA(outFolder.c_str(), nullptr);
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string tempFolder = temp;

    for (const catalogue::Settings& settings : catalogue::SettingsVariants()) {
        StoreSettings(settings);
        HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
        if (!CHECK(plugin != nullptr)) break;
        isSupported = reinterpret_cast<IsSupportedFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "IsSupported")));
        getPicture = reinterpret_cast<GetPictureFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetPicture")));
        getPreview = reinterpret_cast<GetPictureFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetPreview")));
        const bool defaults = std::strcmp(settings.tag, "default") == 0;
        if (CHECK(isSupported && getPicture && getPreview)) {
            if (defaults) NothingBeforeACheck();
            const auto pictures = RenderCatalogue(settings, outFolder);
            if (defaults) {
                AbortAtOnce();
                FailureRows(tempFolder);
                if (!pictures.empty() && !pictures[0].empty()) {
                    FileModeGivesTheSamePicture(tempFolder, pictures[0]);
                    KindRoutingAndNullCallback(pictures[0]);
                    HostFloatingPointState(pictures[0]);
                }
            }
        }
        CHECK(FreeLibrary(plugin));
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    return wincheck::Finish("render_test");
}
