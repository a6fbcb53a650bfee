// Drives the settings dialog from a second thread as a user would, through
// window messages: the dialog itself runs inside ConfigurationDlg on the
// test's main thread. Actions that may open a modal box are posted, never
// sent, so the driver is never blocked inside the dialog's thread.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace driver {

inline std::wstring Utf16(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), n);
    w.resize(static_cast<std::size_t>(n - 1));
    return w;
}

inline std::string Utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<std::size_t>(n - 1));
    return s;
}

// Polls until `ready` holds or about five seconds have passed.
inline bool WaitFor(const std::function<bool()>& ready, int milliseconds = 5000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (GetTickCount64() < end) {
        if (ready()) return true;
        Sleep(10);
    }
    return ready();
}

// A message the dialog's thread handles at once; false when it did not
// return within three seconds (a box it opened is waiting for the user).
inline bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 3000, &result)) return true;
    std::printf("  message 0x%x to control %d did not return: a box is open?\n", message,
                GetDlgCtrlID(window));
    return false;
}

inline std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// Real keystrokes to the foreground window: the keys pressed in order and
// released in reverse, as a chord such as Shift+Tab.
inline void Keys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Visible dialog-class windows of a thread other than `except`.
inline std::vector<HWND> Dialogs(DWORD thread, HWND except) {
    struct Found {
        HWND except;
        std::vector<HWND> windows;
    } found{except, {}};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            wchar_t cls[64] = {};
            GetClassNameW(window, cls, 64);
            if (window != f->except && IsWindowVisible(window) && std::wstring(cls) == L"#32770")
                f->windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// The settings dialog, the message boxes and the colour dialog it opens.
class Dialog {
public:
    // Waits for the settings dialog to appear on `thread`.
    bool Attach(DWORD thread) {
        FThread = thread;
        const std::wstring caption = Utf16("Pallowin.spi 設定");
        return WaitFor([&] {
            for (HWND w : Dialogs(thread, nullptr))
                if (WindowText(w) == caption) {
                    FForm = w;
                    return true;
                }
            return false;
        });
    }
    HWND Form() const { return FForm; }
    bool Open() const { return IsWindow(FForm) && IsWindowVisible(FForm); }

    HWND Control(int id) const {
        struct Search {
            int id;
            HWND found;
        } search{id, nullptr};
        EnumChildWindows(
            FForm,
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                if (GetDlgCtrlID(window) != s->id) return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    std::wstring Text(int id) const { return WindowText(Control(id)); }
    std::string Text8(int id) const { return Utf8(Text(id)); }

    HWND FocusedWindow() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(FThread, &info);
        return info.hwndFocus;
    }
    bool HasFocus(int id) const { return FocusedWindow() == Control(id); }

    // As Tab or a click would: through the dialog manager, which also
    // selects the whole text of an edit.
    void Focus(int id) const {
        Send(FForm, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
    }
    // Typed characters reach the edit as WM_CHAR, one by one.
    void Type(int id, const char* keys) const {
        for (const char* k = keys; *k; ++k)
            Send(Control(id), WM_CHAR, static_cast<unsigned char>(*k), 0);
    }
    void TypeChar(int id, wchar_t key) const { Send(Control(id), WM_CHAR, key, 0); }
    // Replaces the selection with `text` through the clipboard.
    static bool SetClipboard(const std::wstring& text) {
        if (!OpenClipboard(nullptr)) return false;
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        const bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        CloseClipboard();
        return ok;
    }
    void Paste(int id, const char* text) const {
        SetClipboard(Utf16(text));
        Send(Control(id), WM_PASTE, 0, 0);
    }
    // A paste whose change handler may open a message box.
    void PostPaste(int id, const char* text) const {
        SetClipboard(Utf16(text));
        PostMessageW(Control(id), WM_PASTE, 0, 0);
    }
    void Click(int id) const { Send(Control(id), BM_CLICK, 0, 0); }
    void PostClick(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The colour a swatch keeps.
    COLORREF SwatchColor(int id) const {
        return static_cast<COLORREF>(GetWindowLongPtrW(Control(id), GWLP_USERDATA));
    }
    void PressKey(int id, WPARAM key) const {
        PostMessageW(Control(id), WM_KEYDOWN, key, 1);
        PostMessageW(Control(id), WM_KEYUP, key, 0xC0000001);
    }
    // Clicks a tab of the page control as the mouse would.
    void ClickTab(int tabControlId, int index) const {
        HWND tab = Control(tabControlId);
        RECT item{};
        SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(tab, WM_LBUTTONUP, 0, at);
    }

    // A modal box owned by the form (message box or colour dialog).
    HWND WaitForBox(int milliseconds = 5000) const {
        HWND box = nullptr;
        WaitFor(
            [&] {
                for (HWND w : Dialogs(FThread, FForm))
                    if (GetWindow(w, GW_OWNER) == FForm) {
                        box = w;
                        return true;
                    }
                return false;
            },
            milliseconds);
        return box;
    }
    bool NoBox(int milliseconds = 300) const {
        Sleep(static_cast<DWORD>(milliseconds));
        for (HWND w : Dialogs(FThread, FForm))
            if (GetWindow(w, GW_OWNER) == FForm) return false;
        return true;
    }
    // The message of a message box: its longest static text.
    static std::string BoxMessage(HWND box) {
        std::wstring longest;
        EnumChildWindows(
            box,
            [](HWND window, LPARAM data) -> BOOL {
                wchar_t cls[32] = {};
                GetClassNameW(window, cls, 32);
                if (std::wstring(cls) == L"Static") {
                    const std::wstring text = WindowText(window);
                    auto* l = reinterpret_cast<std::wstring*>(data);
                    if (text.size() > l->size()) *l = text;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&longest));
        return Utf8(longest);
    }
    // Closes a box with its OK (or Cancel) button and waits until it is gone.
    static bool CloseBox(HWND box, int button = IDOK) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        return WaitFor([&] { return !IsWindow(box); });
    }

private:
    DWORD FThread = 0;
    HWND FForm = nullptr;
};

}  // namespace driver

namespace driver {

// A thread of the Win32 kind (this runtime has no std::thread).
class Thread {
public:
    explicit Thread(std::function<void()> body) : FBody(std::move(body)) {
        FHandle = CreateThread(nullptr, 0, &Thread::Start, this, 0, nullptr);
    }
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    void Join() {
        if (!FHandle) return;
        WaitForSingleObject(FHandle, INFINITE);
        CloseHandle(FHandle);
        FHandle = nullptr;
    }

private:
    static DWORD WINAPI Start(void* self) {
        static_cast<Thread*>(self)->FBody();
        return 0;
    }
    std::function<void()> FBody;
    HANDLE FHandle = nullptr;
};

}  // namespace driver
