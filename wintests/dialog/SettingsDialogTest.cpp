// The settings dialog through the loaded 64-bit plug-in: ConfigurationDlg
// opens it on this program's main thread, a second thread drives it with
// window messages, and the registry tells what OK confirmed (OK saves at
// once; the unload saves what the plug-in holds in memory).
//   settings_dialog_test [SCREENSHOT_FOLDER]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>

#include "DialogDriver.h"
#include "plugin/SpiTypes.h"
#include "settings/Edit.h"
#include "wintests/foundation/TestKey.h"
#include "wintests/harness/WinCheck.h"

namespace {

using namespace pallowin;
using driver::Dialog;
using ConfigurationDlgFn = int(WINAPI*)(HWND, int);
using GetPictureInfoFn = int(WINAPI*)(const char*, LONG_PTR, unsigned, PictureInfo*);

// The example drawing and figure of the source tree, as wine sees them.
const std::string DrawingFile = std::string("Z:") + PALLOWIN_EXAMPLES "/floorplan.jwc";
const std::string FigureFile = std::string("Z:") + PALLOWIN_EXAMPLES "/basin.jwk";

constexpr int Edit1 = idEdit1, Edit2 = idEdit1 + 1, Edit3 = idEdit1 + 2, Edit4 = idEdit1 + 3;
constexpr int HostLeft = 100, HostTop = 80;

HWND host;
DWORD mainThread;
std::string screenshotFolder;

// One load of the plug-in: the settings are read at load and saved at unload.
class Plugin {
public:
    Plugin() {
        FModule = LoadLibraryA(wincheck::PluginPath().c_str());
        if (FModule) {
            FConfigure = reinterpret_cast<ConfigurationDlgFn>(GetProcAddress(FModule, "ConfigurationDlg"));
            FPictureInfo = reinterpret_cast<GetPictureInfoFn>(GetProcAddress(FModule, "GetPictureInfo"));
        }
    }
    ~Plugin() { Unload(); }
    bool Loaded() const { return FConfigure != nullptr; }
    void Unload() {
        if (FModule) FreeLibrary(FModule);
        FModule = nullptr;
        FConfigure = nullptr;
    }
    // Opens the dialog as the host would and drives it from a second thread.
    int Run(const std::function<void(Dialog&)>& drive, HWND parent = host, int function = 1) {
        if (!FConfigure) return -100;
        driver::Thread user([&] {
            Dialog dialog;
            if (CHECK(dialog.Attach(mainThread))) drive(dialog);
            // A case that failed half-way must not leave the host waiting.
            for (HWND w : driver::Dialogs(mainThread, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
        });
        const int result = FConfigure(parent, function);
        user.Join();
        return result;
    }
    int Call(HWND parent, int function) { return FConfigure ? FConfigure(parent, function) : -100; }
    // The picture size the plug-in reports for a file: what TPluginSettings
    // holds now.
    std::string PictureSize(const std::string& path) {
        PictureInfo info{};
        if (!FPictureInfo || FPictureInfo(path.c_str(), 0, 0, &info) != 0) return "(no answer)";
        if (info.InfoText) LocalFree(info.InfoText);
        return std::to_string(info.Width) + " x " + std::to_string(info.Height);
    }
    // Both sizes, as "drawing, figure".
    std::string Sizes() { return PictureSize(DrawingFile) + ", " + PictureSize(FigureFile); }

private:
    HMODULE FModule = nullptr;
    ConfigurationDlgFn FConfigure = nullptr;
    GetPictureInfoFn FPictureInfo = nullptr;
};

std::string Stored(const char* section, const char* name) {
    return testkey::Read(section, name).value_or("(missing)");
}

void StoreSizes(const char* w, const char* h, const char* kw, const char* kh) {
    testkey::Clear();
    testkey::Write("System", "Version", "104");
    testkey::Write("System", "JWC_W", w);
    testkey::Write("System", "JWC_H", h);
    testkey::Write("System", "JWK_W", kw);
    testkey::Write("System", "JWK_H", kh);
}

bool ShowsSizes(const Dialog& d, const char* w, const char* h, const char* kw, const char* kh) {
    const bool ok = d.Text8(Edit1) == w && d.Text8(Edit2) == h && d.Text8(Edit3) == kw &&
                    d.Text8(Edit4) == kh;
    if (!ok)
        std::printf("  the dialog shows %s x %s, %s x %s; expected %s x %s, %s x %s\n",
                    d.Text8(Edit1).c_str(), d.Text8(Edit2).c_str(), d.Text8(Edit3).c_str(),
                    d.Text8(Edit4).c_str(), w, h, kw, kh);
    return ok;
}

bool StoredSizes(const char* w, const char* h, const char* kw, const char* kh) {
    const bool ok = Stored("System", "JWC_W") == w && Stored("System", "JWC_H") == h &&
                    Stored("System", "JWK_W") == kw && Stored("System", "JWK_H") == kh;
    if (!ok)
        std::printf("  stored %s x %s, %s x %s; expected %s x %s, %s x %s\n",
                    Stored("System", "JWC_W").c_str(), Stored("System", "JWC_H").c_str(),
                    Stored("System", "JWK_W").c_str(), Stored("System", "JWK_H").c_str(), w, h, kw, kh);
    return ok;
}

// Expects a message box with `message`, closes it and answers whether it came.
bool ExpectMessage(const Dialog& d, const char* message) {
    HWND box = d.WaitForBox();
    if (!CHECK(box != nullptr)) return false;
    const std::string shown = Dialog::BoxMessage(box);
    if (!CHECK(shown == message)) std::printf("  the box says \"%s\"\n", shown.c_str());
    CHECK(Dialog::CloseBox(box));
    return true;
}

void Screenshot(HWND window, const char* name) {
    if (screenshotFolder.empty()) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(400);
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u, size = stride * static_cast<DWORD>(h);
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{0x4D42, headers + size, 0, 0, headers};
    const std::string path = screenshotFolder + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, size, 1, out);
        std::fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// ---------------------------------------------------------------------------

void OnlyFunctionOneOpensTheDialog() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    for (int function : {0, 2, -1}) {
        CHECK(plugin.Call(host, function) == -1);
        CHECK(driver::Dialogs(mainThread, nullptr).empty());
    }
}

struct Placed {
    int id, parentId, left, top, width, height;
};
// Positions within the parent's client area (pages for the page's controls).
constexpr Placed Layout[] = {
    {idPageControl1, 0, 4, 4, 289, 221},
    {idButton3, 0, 156, 232, 65, 25},
    {idButton4, 0, 228, 232, 65, 25},
    {idEdit1, idTabSheet1, 112, 20, 53, 20},
    {idEdit1 + 1, idTabSheet1, 200, 20, 53, 20},
    {idEdit1 + 2, idTabSheet1, 112, 44, 53, 20},
    {idEdit1 + 3, idTabSheet1, 200, 44, 53, 20},
    {idCheckBox5, idTabSheet1, 112, 68, 93, 17},
    {idButton1, idTabSheet1, 216, 84, 53, 21},
    {idCheckBox1, idTabSheet1, 12, 126, 229, 17},
    {idCheckBox2, idTabSheet1, 12, 144, 233, 17},
    {idShape1, idTabSheet2, 184, 20, 40, 20},
    {idShape1 + 1, idTabSheet2, 48, 20, 40, 20},
    {idShape1 + 6, idTabSheet2, 48, 160, 40, 20},
    {idShape1 + 7, idTabSheet2, 184, 44, 40, 20},
    {idChangeButton1, idTabSheet2, 228, 20, 37, 21},
    {idChangeButton1 + 1, idTabSheet2, 92, 20, 37, 21},
    {idChangeButton1 + 7, idTabSheet2, 228, 44, 37, 21},
    {idBevel1, idTabSheet2, 136, 16, 5, 161},
    {idButton2, idTabSheet2, 176, 160, 67, 21},
};

void LayoutPlacementAndModality() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    bool hostEnabledAfter = false;
    const int result = plugin.Run([&](Dialog& d) {
        RECT frame, client;
        GetWindowRect(d.Form(), &frame);
        GetClientRect(d.Form(), &client);
        CHECK(frame.left == HostLeft + 10 && frame.top == HostTop + 30);
        CHECK(client.right == 298 && client.bottom == 262);
        const LONG style = GetWindowLongW(d.Form(), GWL_STYLE);
        CHECK((style & WS_THICKFRAME) == 0 && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
        CHECK((style & WS_SYSMENU) != 0);
        CHECK(GetWindow(d.Form(), GW_OWNER) == nullptr && GetParent(d.Form()) == nullptr);
        CHECK(!IsWindowEnabled(host));
        CHECK(ShowsSizes(d, "518", "366", "100", "100"));
        CHECK(driver::WaitFor([&] { return d.HasFocus(Edit4); }));  // set as it appears
        CHECK(d.Checked(idCheckBox5) && !d.Checked(idCheckBox1) && !d.Checked(idCheckBox2));
        CHECK(IsWindowVisible(d.Control(idTabSheet1)) && !IsWindowVisible(d.Control(idTabSheet2)));
        for (const Placed& p : Layout) {
            HWND control = d.Control(p.id);
            HWND parent = p.parentId ? d.Control(p.parentId) : d.Form();
            RECT r;
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
            if (!CHECK(r.left == p.left && r.top == p.top && r.right - r.left == p.width &&
                       r.bottom - r.top == p.height))
                std::printf("  control %d lies at %ld, %ld, %ld x %ld\n", p.id, r.left, r.top,
                            r.right - r.left, r.bottom - r.top);
        }
        const COLORREF defaults[8] = {0, 16776960, 16777215, 65280, 65535, 16711935, 16711680, 255};
        for (int k = 1; k <= 8; ++k) CHECK(d.SwatchColor(idShape1 + k - 1) == defaults[k - 1]);
        Screenshot(d.Form(), "settings-dialog-display");
        d.ClickTab(idPageControl1, 1);
        CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet2)); }));
        CHECK(!IsWindowVisible(d.Control(idTabSheet1)));
        Screenshot(d.Form(), "settings-dialog-colours");
        // Enter and Esc close nothing.
        d.Focus(idButton2);
        d.PressKey(idButton2, VK_ESCAPE);
        d.Focus(idChangeButton1 + 1);
        d.PressKey(idChangeButton1 + 1, VK_ESCAPE);
        d.ClickTab(idPageControl1, 0);
        CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet1)); }));
        d.Focus(Edit1);
        d.PressKey(Edit1, VK_RETURN);
        d.PressKey(Edit1, VK_ESCAPE);
        CHECK(d.NoBox(300) && d.Open());
        // The close box is Cancel.
        PostMessageW(d.Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(driver::WaitFor([&] { return !d.Open(); }));
    });
    hostEnabledAfter = IsWindowEnabled(host) != FALSE;
    CHECK(result == 0);
    CHECK(hostEnabledAfter);
    CHECK(GetActiveWindow() == host);  // the activation went back to the host
    CHECK(!testkey::Read("System", "JWC_W"));  // Cancel saves nothing
}

// Tab walks the form's tab orders: the page control, the shown page's
// controls, OK and Cancel, round again.
void TabWalksTheTabOrders() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        auto walk = [&](int start, std::initializer_list<int> expected) {
            d.Focus(start);
            for (int id : expected) {
                HWND from = d.FocusedWindow();
                PostMessageW(from, WM_KEYDOWN, VK_TAB, 1);
                PostMessageW(from, WM_KEYUP, VK_TAB, 0xC0000001);
                if (!CHECK(driver::WaitFor([&] { return d.FocusedWindow() != from; }, 2000) &&
                           d.HasFocus(id))) {
                    std::printf("  Tab from %d went to %d, expected %d\n", GetDlgCtrlID(from),
                                GetDlgCtrlID(d.FocusedWindow()), id);
                    return;
                }
            }
        };
        walk(Edit1, {Edit2, idButton1, Edit3, Edit4, idCheckBox5, idCheckBox1, idCheckBox2,
                     idButton3, idButton4, idPageControl1, Edit1});
        // Tab into an edit selects its text: typing replaces it.
        d.Type(Edit1, "7");
        CHECK(d.Text8(Edit1) == "7");
        d.ClickTab(idPageControl1, 1);
        CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet2)); }));
        walk(idPageControl1, {idButton2, idChangeButton1 + 1, idChangeButton1 + 2, idChangeButton1 + 3,
                              idChangeButton1 + 4, idChangeButton1 + 5, idChangeButton1 + 6,
                              idChangeButton1, idChangeButton1 + 7, idButton3, idButton4,
                              idPageControl1});
        // Real keystrokes: Shift+Tab walks back, Ctrl+Tab turns the page and
        // takes the focus along to the page's first control.
        d.Focus(idButton2);
        driver::Keys({VK_SHIFT, VK_TAB});
        CHECK(driver::WaitFor([&] { return d.HasFocus(idPageControl1); }));
        d.Focus(idChangeButton1 + 3);
        driver::Keys({VK_CONTROL, VK_TAB});
        CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet1)); }));
        CHECK(driver::WaitFor([&] { return d.HasFocus(Edit1); }));
        driver::Keys({VK_SHIFT, VK_TAB});
        CHECK(driver::WaitFor([&] { return d.HasFocus(idPageControl1); }));
        d.PostClick(idButton4);
    });
}

// The placement is not kept on the screen: a host at the screen's bottom
// right corner gets the dialog partly off it.
void PlacedByTheHostEvenOffTheScreen() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    const int left = GetSystemMetrics(SM_CXSCREEN) - 50, top = GetSystemMetrics(SM_CYSCREEN) - 40;
    SetWindowPos(host, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    plugin.Run([&](Dialog& d) {
        RECT frame;
        GetWindowRect(d.Form(), &frame);
        if (!CHECK(frame.left == left + 10 && frame.top == top + 30))
            std::printf("  the dialog lies at %ld, %ld\n", frame.left, frame.top);
        d.PostClick(idButton4);
    });
    SetWindowPos(host, nullptr, HostLeft, HostTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CentredWhenTheHandleIsNoWindow() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    const int result = plugin.Run(
        [&](Dialog& d) {
            RECT frame;
            GetWindowRect(d.Form(), &frame);
            const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
            const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
            CHECK(std::abs(frame.left + frame.right - screenWidth) <= 1);
            CHECK(std::abs(frame.top + frame.bottom - screenHeight) <= 1);
            d.PostClick(idButton4);
        },
        reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0)));
    CHECK(result == 0);
}

// FormShow focuses each edit before it sets its text, so the coupling runs
// from the edit being set to its partner.
void OpeningCouplesAsFormShowSetsTheSizes() {
    const struct {
        const char* stored[4];
        const char* shown[4];
    } cases[] = {
        {{"777", "549", "100", "100"}, {"777", "549", "100", "100"}},
        {{"600", "400", "100", "100"}, {"566", "400", "100", "100"}},
        {{"518", "366", "100", "200"}, {"518", "366", "200", "200"}},
        {{"0", "0", "0", "0"}, {"0", "0", "0", "0"}},
    };
    for (const auto& c : cases) {
        StoreSizes(c.stored[0], c.stored[1], c.stored[2], c.stored[3]);
        Plugin plugin;
        if (!CHECK(plugin.Loaded())) return;
        plugin.Run([&](Dialog& d) {
            CHECK(ShowsSizes(d, c.shown[0], c.shown[1], c.shown[2], c.shown[3]));
            d.PostClick(idButton3);
            CHECK(driver::WaitFor([&] { return !d.Open(); }));
        });
        // In effect for the next call, and saved at once, before any unload.
        const std::string sizes =
            std::string(c.shown[0]) + " x " + c.shown[1] + ", " + c.shown[2] + " x " + c.shown[3];
        if (!CHECK(plugin.Sizes() == sizes)) std::printf("  the plug-in reports %s\n", plugin.Sizes().c_str());
        CHECK(StoredSizes(c.shown[0], c.shown[1], c.shown[2], c.shown[3]));
        CHECK(Stored("System", "Version") == "104");
    }
}

void TypingCouplesThePartner() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        d.Focus(Edit2);
        d.Type(Edit2, "\b");  // the focus selected the whole text
        CHECK(d.Text8(Edit2).empty() && d.Text8(Edit1) == "518");
        const struct {
            char key;
            const char* edit1;
        } steps[] = {{'4', "6"}, {'0', "57"}, {'0', "566"}};
        for (const auto& s : steps) {
            d.TypeChar(Edit2, static_cast<wchar_t>(s.key));
            if (!CHECK(d.Text8(Edit1) == s.edit1))
                std::printf("  after %c Edit1 shows %s\n", s.key, d.Text8(Edit1).c_str());
        }
        // Only backspace, Enter, Esc and digits can be typed, in every edit.
        for (int edit : {Edit1, Edit2, Edit3, Edit4}) {
            const std::string before[4] = {d.Text8(Edit1), d.Text8(Edit2), d.Text8(Edit3), d.Text8(Edit4)};
            d.Focus(edit);
            SendMessageW(d.Control(edit), EM_SETSEL, 1, 1);  // the caret inside the number
            for (wchar_t key : {L'a', L'-', L'.', L' ', L'+', L'$', L'\x3042', L'\t'}) d.TypeChar(edit, key);
            const std::string after[4] = {d.Text8(Edit1), d.Text8(Edit2), d.Text8(Edit3), d.Text8(Edit4)};
            if (!CHECK(std::equal(before, before + 4, after)))
                std::printf("  typing into %d changed a text\n", edit);
        }
        CHECK(d.Text8(Edit2) == "400" && d.Text8(Edit1) == "566");
        d.Focus(Edit2);
        d.Type(Edit2, "99999");  // the fifth digit does not fit
        CHECK(d.Text8(Edit2) == "9999" && d.Text8(Edit1) == "14141");
        d.Focus(Edit1);
        d.Type(Edit1, "1000");
        CHECK(d.Text8(Edit1) == "1000" && d.Text8(Edit2) == "707");

        // The figure pair copies, the empty text included.
        d.Focus(Edit3);
        d.Type(Edit3, "250");
        CHECK(d.Text8(Edit4) == "250");
        d.Focus(Edit4);
        d.Type(Edit4, "\b");
        CHECK(d.Text8(Edit3).empty() && d.Text8(Edit4).empty());

        // Leaving the empty edit: the message, the focus back, the default
        // text, which the coupling passes on.
        d.Focus(Edit1);
        ExpectMessage(d, "無効な数値です。");
        CHECK(driver::WaitFor([&] { return d.Text8(Edit4) == "100"; }));
        CHECK(d.Text8(Edit3) == "100" && d.HasFocus(Edit4));
        d.Focus(Edit1);
        d.Type(Edit1, "\b");
        CHECK(d.Text8(Edit1).empty() && d.Text8(Edit2) == "707");
        d.Focus(idCheckBox5);
        ExpectMessage(d, "無効な数値です。");
        CHECK(driver::WaitFor([&] { return d.Text8(Edit1) == "518"; }));
        CHECK(d.Text8(Edit2) == "366" && d.HasFocus(Edit1));

        // A non-empty text passes unchecked, 0 too.
        d.Focus(Edit3);
        d.Type(Edit3, "0");
        d.Focus(Edit1);
        CHECK(d.NoBox() && d.Text8(Edit3) == "0" && d.Text8(Edit4) == "0");

        // Without the paper ratio the edits are independent.
        d.Click(idCheckBox5);
        CHECK(!d.Checked(idCheckBox5));
        d.Focus(Edit1);
        d.Type(Edit1, "300");
        d.Focus(Edit3);
        d.Type(Edit3, "40");
        CHECK(ShowsSizes(d, "300", "366", "40", "0"));
        d.PostClick(idButton3);
        CHECK(driver::WaitFor([&] { return !d.Open(); }));
    });
    CHECK(StoredSizes("300", "366", "40", "0"));
    // The ratio box is checked again at the next opening, and FormShow's
    // coupling turns the stored 300 x 366 into 518 x 366, 40 x 0 into 0 x 0.
    plugin.Run([&](Dialog& d) {
        CHECK(d.Checked(idCheckBox5));
        CHECK(ShowsSizes(d, "518", "366", "0", "0"));
        d.PostClick(idButton4);
    });
}

// Pasted text is not filtered; a text that does not convert brings the
// conversion message, in the coupling and at OK.
void PastedTextsThatDoNotConvert() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        d.Focus(Edit1);
        d.PostPaste(Edit1, "7x");
        ExpectMessage(d, "'7x' は整数ではありません");
        CHECK(driver::WaitFor([&] { return d.Text8(Edit1) == "7x"; }) && d.Text8(Edit2) == "366");
        d.Focus(Edit1);
        d.Paste(Edit1, " 700");  // blanks before the number convert
        CHECK(d.Text8(Edit1) == " 700" && d.Text8(Edit2) == "495");
        d.Focus(Edit1);
        d.Paste(Edit1, "$3E8");
        CHECK(d.Text8(Edit2) == "707");
        d.Focus(Edit1);
        d.Paste(Edit1, "12345");  // four characters at most
        CHECK(d.Text8(Edit1) == "1234" && d.Text8(Edit2) == "873");
        d.Focus(Edit3);
        d.Paste(Edit3, "123456789012");
        CHECK(d.Text8(Edit4) == "123456789012");

        // OK converts all four first: nothing is assigned, the dialog stays.
        d.PostClick(idButton3);
        ExpectMessage(d, "'123456789012' は整数ではありません");
        CHECK(d.NoBox() && d.Open());
        CHECK(!testkey::Read("System", "JWC_W"));
        d.Focus(Edit3);
        d.Paste(Edit3, "-12");
        CHECK(d.Text8(Edit4) == "-12");
        d.Focus(Edit4);
        d.Paste(Edit4, "2147483648");
        d.PostClick(idButton3);
        ExpectMessage(d, "'2147483648' は整数ではありません");
        d.Click(idCheckBox1);
        d.PostClick(idButton4);
        CHECK(driver::WaitFor([&] { return !d.Open(); }));
    });
    CHECK(!testkey::Read("System", "JWC_W"));
    if (!CHECK(plugin.Sizes() == "518 x 366, 100 x 100"))
        std::printf("  the plug-in reports %s\n", plugin.Sizes().c_str());
    plugin.Unload();
    // What the plug-in held in memory: the old values throughout.
    CHECK(StoredSizes("518", "366", "100", "100"));
    CHECK(Stored("Image", "ViewMode") == "0");
}

// A height stored by hand whose paper-ratio width leaves the 32-bit range:
// the width is shown as computed, and OK refuses it by name.
void CoupledWidthBeyondThirtyTwoBits() {
    StoreSizes("518", "2000000000", "100", "100");
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        CHECK(ShowsSizes(d, "2828427125", "2000000000", "100", "100"));
        d.PostClick(idButton3);
        ExpectMessage(d, "'2828427125' は整数ではありません");
        CHECK(d.NoBox() && d.Open());
        d.PostClick(idButton4);
    });
    CHECK(plugin.Sizes() == "518 x 2000000000, 100 x 100");
}

void DefaultButtonsThenCancelOrOk() {
    for (bool ok : {false, true}) {
        StoreSizes("600", "424", "50", "50");
        testkey::Write("Color", "Back", "8421504");
        testkey::Write("Color", "Line3", "255");
        testkey::Write("Image", "BakMode", "1");
        Plugin plugin;
        if (!CHECK(plugin.Loaded())) return;
        plugin.Run([&](Dialog& d) {
            CHECK(d.Checked(idCheckBox2) && !d.Checked(idCheckBox1));
            CHECK(d.SwatchColor(idShape1) == 8421504 && d.SwatchColor(idShape1 + 3) == 255);
            d.Click(idButton1);
            CHECK(ShowsSizes(d, "518", "366", "100", "100"));
            d.ClickTab(idPageControl1, 1);
            CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet2)); }));
            d.Click(idButton2);
            CHECK(d.SwatchColor(idShape1) == 0 && d.SwatchColor(idShape1 + 3) == 65280);
            d.PostClick(ok ? idButton3 : idButton4);
            CHECK(driver::WaitFor([&] { return !d.Open(); }));
        });
        if (ok) {
            CHECK(StoredSizes("518", "366", "100", "100"));
            CHECK(Stored("Color", "Back") == "0" && Stored("Color", "Line3") == "65280");
            CHECK(Stored("Image", "BakMode") == "1");
        } else {
            plugin.Unload();
            CHECK(StoredSizes("600", "424", "50", "50"));
            CHECK(Stored("Color", "Back") == "8421504" && Stored("Color", "Line3") == "255");
        }
    }
}

// The colour dialog opens from a swatch (any mouse button) or its button,
// with the swatch's colour; OK there sets the swatch, Cancel keeps it.
void ChoosingColours() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        d.ClickTab(idPageControl1, 1);
        CHECK(driver::WaitFor([&] { return IsWindowVisible(d.Control(idTabSheet2)); }));
        const int red = 706, green = 707, blue = 708;  // the colour dialog's edits
        // Right button on Line2's swatch: choose 18, 52, 86.
        PostMessageW(d.Control(idShape1 + 2), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        HWND picker = d.WaitForBox();
        if (CHECK(picker != nullptr)) {
            CHECK(driver::WindowText(GetDlgItem(picker, red)) == L"255");  // opened with white
            SetWindowTextW(GetDlgItem(picker, red), L"18");
            SetWindowTextW(GetDlgItem(picker, green), L"52");
            SetWindowTextW(GetDlgItem(picker, blue), L"86");
            CHECK(Dialog::CloseBox(picker, IDOK));
        }
        CHECK(driver::WaitFor([&] { return d.SwatchColor(idShape1 + 2) == RGB(18, 52, 86); }));
        // The change button of Text, then Cancel: nothing changes.
        d.PostClick(idChangeButton1 + 7);
        picker = d.WaitForBox();
        if (CHECK(picker != nullptr)) {
            CHECK(driver::WindowText(GetDlgItem(picker, red)) == L"255" &&
                  driver::WindowText(GetDlgItem(picker, green)) == L"0");
            SetWindowTextW(GetDlgItem(picker, green), L"200");
            CHECK(Dialog::CloseBox(picker, IDCANCEL));
        }
        CHECK(d.NoBox() && d.SwatchColor(idShape1 + 7) == 255);
        // The left button on the background swatch.
        PostMessageW(d.Control(idShape1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        picker = d.WaitForBox();
        if (CHECK(picker != nullptr)) {
            SetWindowTextW(GetDlgItem(picker, blue), L"128");
            CHECK(Dialog::CloseBox(picker, IDOK));
        }
        CHECK(driver::WaitFor([&] { return d.SwatchColor(idShape1) == RGB(0, 0, 128); }));
        d.PostClick(idButton3);
        CHECK(driver::WaitFor([&] { return !d.Open(); }));
    });
    CHECK(Stored("Color", "Line2") == std::to_string(RGB(18, 52, 86)));
    CHECK(Stored("Color", "Back") == std::to_string(RGB(0, 0, 128)));
    CHECK(Stored("Color", "Text") == "255");
}

// A click on a button while the empty edit's exit check is due runs the
// check instead of the button.
void LeavingAnEmptyEditForOk() {
    testkey::Clear();
    Plugin plugin;
    if (!CHECK(plugin.Loaded())) return;
    plugin.Run([&](Dialog& d) {
        d.Focus(Edit3);
        d.Type(Edit3, "\b");
        d.PostClick(idButton3);
        ExpectMessage(d, "無効な数値です。");
        CHECK(d.NoBox() && d.Open());
        CHECK(driver::WaitFor([&] { return d.Text8(Edit3) == "100" && d.Text8(Edit4) == "100"; }));
        d.PostClick(idButton4);
        CHECK(driver::WaitFor([&] { return !d.Open(); }));
    });
    CHECK(!testkey::Read("System", "JWC_W"));
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) screenshotFolder = argv[1];
    mainThread = GetCurrentThreadId();
    // Never hang the test run: a dialog left open ends the program.
    CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            Sleep(240000);
            std::printf("settings_dialog_test: timed out\n");
            std::fflush(stdout);
            ExitProcess(3);
        },
        nullptr, 0, nullptr);

    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"PallowinTestHost";
    hostClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&hostClass);
    host = CreateWindowW(L"PallowinTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, HostLeft,
                         HostTop, 420, 320, nullptr, nullptr, hostClass.hInstance, nullptr);
    CHECK(host != nullptr);

    const struct {
        const char* name;
        void (*run)();
    } cases[] = {
        {"OnlyFunctionOneOpensTheDialog", OnlyFunctionOneOpensTheDialog},
        {"LayoutPlacementAndModality", LayoutPlacementAndModality},
        {"TabWalksTheTabOrders", TabWalksTheTabOrders},
        {"PlacedByTheHostEvenOffTheScreen", PlacedByTheHostEvenOffTheScreen},
        {"CentredWhenTheHandleIsNoWindow", CentredWhenTheHandleIsNoWindow},
        {"OpeningCouplesAsFormShowSetsTheSizes", OpeningCouplesAsFormShowSetsTheSizes},
        {"TypingCouplesThePartner", TypingCouplesThePartner},
        {"PastedTextsThatDoNotConvert", PastedTextsThatDoNotConvert},
        {"CoupledWidthBeyondThirtyTwoBits", CoupledWidthBeyondThirtyTwoBits},
        {"DefaultButtonsThenCancelOrOk", DefaultButtonsThenCancelOrOk},
        {"ChoosingColours", ChoosingColours},
        {"LeavingAnEmptyEditForOk", LeavingAnEmptyEditForOk},
    };
    const char* only = argc > 2 ? argv[2] : nullptr;
    for (const auto& c : cases) {
        if (only && std::string(only) != c.name) continue;
        const int before = wincheck::Failures();
        c.run();
        std::printf("%s %s\n", wincheck::Failures() == before ? "ok  " : "FAIL", c.name);
        std::fflush(stdout);
    }
    DestroyWindow(host);
    testkey::Clear();
    return wincheck::Finish("settings_dialog_test");
}
