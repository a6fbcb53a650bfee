// The settings dialog's life: creation, placement, the modal loop, and the
// window procedures that turn notifications into the form's handlers.
#include "settings/Edit.h"

#include <commctrl.h>

#include <vector>

#include "platform/Platform.h"
#include "settings/DialogTexts.h"
#include "settings/EditText.h"
#include "settings/SettingsDialog.h"

namespace pallowin {

namespace {

constexpr UINT WM_EDIT_EXIT = WM_APP + 1;  // an edit was left empty
const wchar_t FormProperty[] = L"Pallowin.TForm1";
const wchar_t ProcProperty[] = L"Pallowin.WndProc";

TForm1* FormOf(HWND window) { return static_cast<TForm1*>(GetPropW(window, FormProperty)); }

LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(window, ProcProperty));
    if (message == WM_NCDESTROY) {
        RemovePropW(window, FormProperty);
        RemovePropW(window, ProcProperty);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

void Subclass(HWND window, TForm1* form, WNDPROC procedure) {
    if (!window) return;
    SetPropW(window, FormProperty, form);
    SetPropW(window, ProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(window, GWLP_WNDPROC,
                                                        reinterpret_cast<LONG_PTR>(procedure))));
}

// The thread's other top-level windows that a modal form disables while it
// is open, the host's among them; enabled again in reverse order after.
class TaskWindowsDisabled {
public:
    explicit TaskWindowsDisabled(HWND form) : FForm(form) {
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND window : FWindows) EnableWindow(window, FALSE);
    }
    ~TaskWindowsDisabled() {
        for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it)
            if (IsWindow(*it)) EnableWindow(*it, TRUE);
    }
    TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
    TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<TaskWindowsDisabled*>(self);
        if (window == me->FForm || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
        try {
            me->FWindows.push_back(window);
        } catch (...) {
            return FALSE;  // out of memory: the windows found so far are disabled
        }
        return TRUE;
    }
    HWND FForm;
    std::vector<HWND> FWindows;
};

}  // namespace

std::int32_t ShowSettingsDialog(void* parentWindow) {
    try {
        TForm1 form;
        if (form.Created()) form.ShowModal(static_cast<HWND>(parentWindow));
    } catch (...) {
        // Nothing may cross the host boundary; the dialog simply closes.
    }
    return 0;
}

TForm1::TForm1() {
    for (COLORREF& c : FCustomColors) c = RGB(255, 255, 255);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Character height 12 pixels, in the Shift-JIS character set.
    FFont = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE,
                        FromShiftJis(dialog_texts::FontName).c_str());
    CreateControls();
    if (FHandle) FormCreate();
}

TForm1::~TForm1() {
    if (FHandle) DestroyWindow(FHandle);
    if (FFont) DeleteObject(FFont);
}

void TForm1::ShowModal(HWND placementWindow) {
    RECT frame;
    GetWindowRect(FHandle, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left, top;
    if (auto host = platform::WindowScreenRect(placementWindow)) {
        // Not kept on the screen: the host chose where its window is.
        left = host->left + 10;
        top = host->top + 30;
    } else {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    SetWindowPos(FHandle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND previouslyActive = GetActiveWindow();
    {
        TaskWindowsDisabled disabled(FHandle);
        FormShow();
        ShowWindow(FHandle, SW_SHOWNORMAL);
        SetForegroundWindow(FHandle);
        FShowing = true;
        if (FActiveControl) SetFocus(FActiveControl);
        RunModalLoop();
        FShowing = false;
    }
    // The host's windows are enabled again before the form hides, so the
    // activation goes back to the host rather than to another program.
    if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    ShowWindow(FHandle, SW_HIDE);
}

void TForm1::RunModalLoop() {
    while (FModalResult == mrNone) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The host is quitting: pass the request on and close as Cancel.
            PostQuitMessage(static_cast<int>(msg.wParam));
            FModalResult = mrCancel;
            break;
        }
        if (got < 0) {
            FModalResult = mrCancel;
            break;
        }
        if (HandleTabKey(msg)) continue;
        if (!IsDialogMessageW(FHandle, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

std::vector<HWND> TForm1::TabOrder() const {
    std::vector<HWND> order{PageControl1};
    const auto& page = IsWindowVisible(TabSheet2) ? FPage2Order : FPage1Order;
    order.insert(order.end(), page.begin(), page.end());
    order.push_back(Button3);
    order.push_back(Button4);
    return order;
}

bool TForm1::HandleTabKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (msg.hwnd != FHandle && !IsChild(FHandle, msg.hwnd)) return false;
    if (GetKeyState(VK_MENU) < 0) return false;
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    if (GetKeyState(VK_CONTROL) < 0) {
        ShowPage(IsWindowVisible(TabSheet1) ? 1 : 0);  // two pages: either way is the other
        // The focus does not stay behind on the hidden page.
        if (!IsWindowVisible(GetFocus())) {
            const auto& page = IsWindowVisible(TabSheet2) ? FPage2Order : FPage1Order;
            SendMessageW(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(page.front()), TRUE);
        }
        return true;
    }
    const std::vector<HWND> order = TabOrder();
    const int count = static_cast<int>(order.size());
    int start = backwards ? 0 : count - 1;  // from outside the order: the first or the last
    for (int i = 0; i < count; ++i)
        if (order[static_cast<std::size_t>(i)] == GetFocus()) start = i;
    for (int step = 1; step < count; ++step) {
        HWND next = order[static_cast<std::size_t>((start + (backwards ? count - step : step)) % count)];
        if (IsWindowVisible(next) && IsWindowEnabled(next)) {
            // As the dialog manager does it: an edit gets its text selected.
            SendMessageW(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
            break;
        }
    }
    return true;
}

// No exception may unwind through the window system's frames: a handler that
// fails (out of memory) closes the dialog as Cancel instead.
template <typename Result, typename Handler>
Result TForm1::Guarded(TForm1* form, Result fallback, Handler handler) {
    try {
        return handler();
    } catch (...) {
        if (form) form->FModalResult = mrCancel;
        return fallback;
    }
}

INT_PTR CALLBACK TForm1::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the form chooses the focus itself
    }
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!form) return FALSE;
    return Guarded<INT_PTR>(form, TRUE, [&]() -> INT_PTR {
        switch (message) {
        case WM_COMMAND:
            return form->HandleCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != form->PageControl1 || header->code != TCN_SELCHANGE) return FALSE;
            form->PageControl1Change();
            return TRUE;
        }
        case WM_CLOSE:  // the close box: as Cancel
            form->FModalResult = mrCancel;
            return TRUE;
        case WM_EDIT_EXIT:
            form->RunPendingExit();
            return TRUE;
        default:
            return FALSE;
        }
    });
}

INT_PTR CALLBACK TForm1::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!form) return FALSE;
    return Guarded<INT_PTR>(form, TRUE, [&]() -> INT_PTR {
        switch (message) {
        case WM_COMMAND:
            return form->HandleCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_DRAWITEM:
            form->DrawSwatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return FALSE;
        }
    });
}

bool TForm1::HandleCommand(int id, int code) {
    if (id >= idEdit1 && id < idEdit1 + 4) {
        if (code == EN_CHANGE) EditChange(id - idEdit1);
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (id >= idChangeButton1 && id < idChangeButton1 + SwatchCount) {
        Button5Click(id - idChangeButton1 + 1);
        return true;
    }
    switch (id) {
    case idButton1: Button1Click(); return true;
    case idButton2: Button2Click(); return true;
    case idButton3: Button3Click(); return true;
    case idButton4: Button4Click(); return true;
    default: return false;  // IDOK and IDCANCEL from Enter and Esc close nothing
    }
}

LRESULT CALLBACK TForm1::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TForm1* form = FormOf(window);
    if (form && message == WM_CHAR && !form->Edit1KeyPress(static_cast<wchar_t>(wParam)))
        return 0;
    const LRESULT result = CallOriginal(window, message, wParam, lParam);
    if (form && message == WM_KILLFOCUS)
        Guarded<bool>(form, false, [&] {
            form->EditLosingFocus(window, reinterpret_cast<HWND>(wParam));
            return true;
        });
    return result;
}

LRESULT CALLBACK TForm1::SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TForm1* form = FormOf(window);
    if (form && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                 message == WM_MBUTTONDOWN)) {
        Guarded<bool>(form, false, [&] {
            form->Shape2MouseDown(GetDlgCtrlID(window) - idShape1 + 1);
            return true;
        });
        return 0;
    }
    return CallOriginal(window, message, wParam, lParam);
}

void TForm1::SubclassEdit(HWND edit) { Subclass(edit, this, &TForm1::EditProc); }
void TForm1::SubclassSwatch(HWND swatch) { Subclass(swatch, this, &TForm1::SwatchProc); }

void TForm1::DrawSwatch(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == idBevel1) {
        RECT edge = item.rcItem;
        DrawEdge(item.hDC, &edge, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const int tag = static_cast<int>(item.CtlID) - idShape1 + 1;
    if (tag < 1 || tag > SwatchCount) return;
    // A rectangle with a thin black outline, filled with the colour.
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(ShapeColor(tag)));
    HGDIOBJ oldBrush = SelectObject(item.hDC, fill);
    HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(BLACK_PEN));
    Rectangle(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    DeleteObject(fill);
}

// The exit check runs once the focus has settled, never inside the focus
// change itself; a button clicked meanwhile runs it first (see the handlers).
void TForm1::EditLosingFocus(HWND edit, HWND newFocus) {
    if (!FShowing || !newFocus || !IsChild(FHandle, newFocus)) return;
    const int index = EditIndex(edit);
    if (index < 0 || !EditText(index).empty()) return;
    FPendingExit = index;
    PostMessageW(FHandle, WM_EDIT_EXIT, 0, 0);
}

bool TForm1::RunPendingExit() {
    const int index = FPendingExit;
    if (index < 0) return false;
    FPendingExit = -1;
    if (!EditText(index).empty()) return false;
    EditExit(index);
    return true;
}

void TForm1::FocusControl(HWND control) {
    FActiveControl = control;
    if (FShowing) SetFocus(control);
}

bool TForm1::Focused(HWND control) const {
    return FShowing ? GetFocus() == control : FActiveControl == control;
}

int TForm1::EditIndex(HWND window) const {
    for (std::size_t i = 0; i < FEdits.size(); ++i)
        if (FEdits[i] == window) return static_cast<int>(i);
    return -1;
}

std::wstring TForm1::EditText(int index) const {
    HWND edit = FEdits[static_cast<std::size_t>(index)];
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TForm1::SetEditText(int index, const std::wstring& text) {
    if (EditText(index) == text) return;
    SetWindowTextW(FEdits[static_cast<std::size_t>(index)], text.c_str());
}

bool TForm1::Checked(HWND checkBox) const {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm1::SetChecked(HWND checkBox, bool checked) {
    SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::int32_t TForm1::ShapeColor(int tag) const {
    return static_cast<std::int32_t>(
        GetWindowLongPtrW(FShapes[static_cast<std::size_t>(tag - 1)], GWLP_USERDATA));
}

void TForm1::SetShapeColor(int tag, std::int32_t color) {
    HWND shape = FShapes[static_cast<std::size_t>(tag - 1)];
    SetWindowLongPtrW(shape, GWLP_USERDATA, color);
    InvalidateRect(shape, nullptr, TRUE);
}

void TForm1::ShowPage(int page) {
    TabCtrl_SetCurSel(PageControl1, page);
    ShowWindow(TabSheet1, page == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(TabSheet2, page == 1 ? SW_SHOW : SW_HIDE);
}

}  // namespace pallowin
