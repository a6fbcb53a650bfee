// The desktop tools' library built for Windows: Shift-JIS text through the
// Windows code page, file errors in the system's words, pictures through the
// statically linked exports, and a tool session that leaves the user's
// registry settings as it found them.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Cp932Text.h"
#include "ImageFiles.h"
#include "PluginPictures.h"
#include "settings/PluginSettings.h"
#include "wintests/harness/WinCheck.h"

namespace {

using namespace pallowin;
using namespace pallowin::desktop;

const char* const ColorKey = "SoftWare\\Tavorin\\Morvelin\\Color";

std::string ReadBack() {
    char text[64] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, ColorKey, "Back", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

void WriteBack(const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, ColorKey, "Back", REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1));
}

void ConvertsShiftJis() {
    // "木造平屋 S=1/100" and a half-width katakana run, then a cut-off lead byte.
    CHECK(Cp932ToUtf8("\x96\xd8\x91\xa2\x95\xbd\x89\xae S=1/100") ==
          "\xe6\x9c\xa8\xe9\x80\xa0\xe5\xb9\xb3\xe5\xb1\x8b S=1/100");
    CHECK(Cp932ToUtf8("\xcc\xa7\xb2\xd9") == "\xef\xbe\x8c\xef\xbd\xa7\xef\xbd\xb2\xef\xbe\x99");
    CHECK(Cp932ToUtf8("A\x81") == "A\xef\xbf\xbd");
    CHECK(Cp932ToUtf8("") == "");
}

void ParsesTheCommandLine() {
    CommandLine cmd = ParseCommandLine({"render", "-w", "259", "--text=#0000FF", "a.jwc", "-o", "a.bmp"});
    CHECK(cmd.action == Action::Render);
    CHECK(cmd.inputs.size() == 1 && cmd.output && *cmd.output == "a.bmp");
    CHECK(cmd.render.width && *cmd.render.width == 259);
    CHECK(cmd.render.colors[7] && *cmd.render.colors[7] == 0xFF0000);
    CHECK(FormatOfPath("C:\\out\\plan.BMP") == ImageFormat::Bmp);
    CHECK(FormatOfPath("C:\\out.d\\plan") == ImageFormat::Unknown);
}

void ReportsFileErrors(const std::string& examples) {
    std::string error;
    CHECK(!ReadInputFile(examples + "/absent.jwc", error));
    CHECK(error == "cannot open: No such file or directory");
}

void RendersWithDefaultsAndKeepsTheRegistry(const std::string& examples) {
    const std::string before = ReadBack();
    WriteBack("16777215");  // a user who likes white paper
    {
        PluginSession session;
        CHECK(session.Started());
        CHECK(PluginSettings.Colors[0] == 0);

        std::string error;
        auto file = ReadInputFile(examples + "/floorplan.jwc", error);
        if (CHECK(file.has_value())) {
            DibPicture picture;
            Outcome outcome = RenderFile(*file, "floorplan.jwc", {}, picture);
            CHECK(outcome.Ok());
            CHECK(picture.width == 518 && picture.height == 366);
            CHECK(picture.RgbAt(0, 0) == 0);  // the default black background

            RenderOptions preview;
            preview.preview = true;
            DibPicture small;
            CHECK(RenderFile(*file, "floorplan.jwc", preview, small).Ok());
            CHECK(small.width == 128 && small.height == 90);

            char temp[MAX_PATH];
            GetTempPathA(MAX_PATH, temp);
            const std::string bmp = std::string(temp) + "pallowin-desktop-test.bmp";
            WriteBmp(bmp, picture);
            std::FILE* f = std::fopen(bmp.c_str(), "rb");
            std::vector<unsigned char> bytes(54 + picture.bits.size() + 1);
            const std::size_t n = f ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
            if (f) std::fclose(f);
            std::remove(bmp.c_str());
            CHECK(n == 54 + picture.bits.size());
            CHECK(std::equal(picture.header.begin(), picture.header.end(), bytes.begin() + 14));
            CHECK(std::equal(picture.bits.begin(), picture.bits.end(), bytes.begin() + 54));
        }
    }
    CHECK(ReadBack() == "16777215");
    if (before.empty()) RegDeleteKeyValueA(HKEY_CURRENT_USER, ColorKey, "Back");
    else WriteBack(before);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: desktop_tools_test EXAMPLES_DIR\n");
        return 2;
    }
    const std::string examples = argv[1];
    ConvertsShiftJis();
    ParsesTheCommandLine();
    ReportsFileErrors(examples);
    RendersWithDefaultsAndKeepsTheRegistry(examples);
    return wincheck::Finish("desktop_tools_test");
}
