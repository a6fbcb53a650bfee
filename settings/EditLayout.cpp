// The form's controls, at their stored positions for 96 dpi. Controls are
// created in tab order, since a dialog's tab order is its children's order;
// labels and group boxes come after the controls they surround so that they
// never paint over them.
#include "settings/Edit.h"

#include <commctrl.h>

#include "settings/DialogTexts.h"
#include "settings/EditText.h"

namespace pallowin {

namespace {

namespace tx = dialog_texts;

// An empty in-memory dialog template: the form and its pages are dialogs for
// the dialog manager's focus and Tab handling, but every control is made by
// hand at a pixel position.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu = 0, windowClass = 0, title = 0;
};

EmptyTemplate MakeTemplate(DWORD style) {
    EmptyTemplate t{};
    t.header.style = style;
    return t;
}

constexpr DWORD TabStop = WS_TABSTOP | WS_GROUP;  // arrows do not wander between controls

struct SwatchRow {
    int tag;
    const char* caption;
    int labelLeft, labelTop, swatchLeft, swatchTop, buttonLeft, buttonTop;
};
// In the buttons' tab order: Button5 to Button10, then Button11, Button12.
constexpr SwatchRow SwatchRows[SwatchCount] = {
    {2, tx::Line1, 8, 20, 44, 16, 88, 16},      {3, tx::Line2, 8, 48, 44, 44, 88, 44},
    {4, tx::Line3, 8, 76, 44, 72, 88, 72},      {5, tx::Line4, 8, 104, 44, 100, 88, 100},
    {6, tx::Line5, 8, 132, 44, 128, 88, 128},   {7, tx::Line6, 8, 160, 44, 156, 88, 156},
    {1, tx::Background, 140, 20, 180, 16, 224, 16}, {8, tx::TextColor, 140, 44, 180, 40, 224, 40},
};

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

HWND TForm1::CreateChild(HWND parent, const wchar_t* windowClass, const char* caption,
                         DWORD style, int left, int top, int width, int height, int id,
                         DWORD exStyle) {
    const std::wstring text = caption ? FromShiftJis(caption) : std::wstring();
    HWND child = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                 left, top, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(),
                                 nullptr);
    if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
    return child;
}

// A label's size follows its caption.
HWND TForm1::CreateLabel(HWND parent, const char* caption, int left, int top) {
    const std::wstring text = FromShiftJis(caption);
    SIZE size{0, 0};
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, FFont);
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    return CreateChild(parent, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, left, top, size.cx,
                       size.cy, -1);
}

HWND TForm1::CreatePage(HWND pageControl, int id) {
    EmptyTemplate t = MakeTemplate(WS_CHILD | DS_CONTROL);
    HWND page = CreateDialogIndirectParamW(ThisModule(), &t.header, pageControl, &TForm1::PageProc,
                                           reinterpret_cast<LPARAM>(this));
    if (!page) return nullptr;
    SetWindowLongPtrW(page, GWLP_ID, id);
    RECT display;
    GetClientRect(pageControl, &display);
    TabCtrl_AdjustRect(pageControl, FALSE, &display);
    MoveWindow(page, display.left, display.top, display.right - display.left,
               display.bottom - display.top, FALSE);
    return page;
}

void TForm1::CreateControls() {
    // The form: a fixed dialog frame with a close box, client area 298 x 262.
    const DWORD formStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
    EmptyTemplate t = MakeTemplate(formStyle);
    FHandle = CreateDialogIndirectParamW(ThisModule(), &t.header, nullptr, &TForm1::FormProc,
                                         reinterpret_cast<LPARAM>(this));
    if (!FHandle) return;
    SetWindowTextW(FHandle, FromShiftJis(tx::Caption).c_str());
    RECT frame{0, 0, 298, 262};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE)));
    SetWindowPos(FHandle, nullptr, 215, 110, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    // The page control holds its pages, so Tab walks into the shown page.
    PageControl1 = CreateChild(FHandle, WC_TABCONTROLW, nullptr, WS_CLIPSIBLINGS | TabStop, 4, 4,
                               289, 221, idPageControl1, WS_EX_CONTROLPARENT);
    for (const char* caption : {tx::DisplayPage, tx::ColorPage}) {
        std::wstring text = FromShiftJis(caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(PageControl1, TCM_INSERTITEMW, TabCtrl_GetItemCount(PageControl1),
                     reinterpret_cast<LPARAM>(&item));
    }
    TabSheet1 = CreatePage(PageControl1, idTabSheet1);
    TabSheet2 = CreatePage(PageControl1, idTabSheet2);

    // First page: GroupBox1 at (4, 4) and GroupBox3 at (4, 116) of the page.
    HWND p = TabSheet1;
    int gx = 4, gy = 4;
    const DWORD editStyle = ES_AUTOHSCROLL | TabStop;
    FEdits[0] = CreateChild(p, L"EDIT", "518", editStyle, gx + 108, gy + 16, 53, 20, idEdit1, WS_EX_CLIENTEDGE);
    FEdits[1] = CreateChild(p, L"EDIT", "366", editStyle, gx + 196, gy + 16, 53, 20, idEdit1 + 1, WS_EX_CLIENTEDGE);
    Button1 = CreateChild(p, L"BUTTON", tx::Defaults, BS_PUSHBUTTON | TabStop, gx + 212, gy + 80, 53, 21, idButton1);
    FEdits[2] = CreateChild(p, L"EDIT", "100", editStyle, gx + 108, gy + 40, 53, 20, idEdit1 + 2, WS_EX_CLIENTEDGE);
    FEdits[3] = CreateChild(p, L"EDIT", "100", editStyle, gx + 196, gy + 40, 53, 20, idEdit1 + 3, WS_EX_CLIENTEDGE);
    CheckBox5 = CreateChild(p, L"BUTTON", tx::PaperRatio, BS_AUTOCHECKBOX | TabStop, gx + 108, gy + 64, 93, 17, idCheckBox5);
    CreateLabel(p, tx::DrawingImage, gx + 8, gy + 20);
    CreateLabel(p, tx::Width, gx + 92, gy + 20);
    CreateLabel(p, tx::ByHeight, gx + 168, gy + 20);
    CreateLabel(p, tx::FigureImage, gx + 8, gy + 44);
    CreateLabel(p, tx::Width, gx + 92, gy + 44);
    CreateLabel(p, tx::ByHeight, gx + 168, gy + 44);
    CreateChild(p, L"BUTTON", tx::ScaleGroup, BS_GROUPBOX, gx, gy, 273, 109, -1);
    gy = 116;
    CheckBox1 = CreateChild(p, L"BUTTON", tx::HonourLayers, BS_AUTOCHECKBOX | TabStop, gx + 8, gy + 10, 229, 17, idCheckBox1);
    CheckBox2 = CreateChild(p, L"BUTTON", tx::LeaveOutBak, BS_AUTOCHECKBOX | TabStop, gx + 8, gy + 28, 233, 17, idCheckBox2);
    CreateChild(p, L"BUTTON", nullptr, BS_GROUPBOX, gx, gy, 273, 73, -1);
    FPage1Order = {FEdits[0], FEdits[1], Button1, FEdits[2], FEdits[3],
                   CheckBox5, CheckBox1, CheckBox2};
    SendMessageW(FEdits[0], EM_LIMITTEXT, 4, 0);
    SendMessageW(FEdits[1], EM_LIMITTEXT, 4, 0);
    for (int i = 0; i < 4; ++i) {
        FEditTexts[static_cast<std::size_t>(i)] = EditText(i);
        SubclassEdit(FEdits[static_cast<std::size_t>(i)]);
    }

    // Second page: GroupBox2 at (4, 4), the swatch rows and the bevel.
    p = TabSheet2;
    gy = 4;
    Button2 = CreateChild(p, L"BUTTON", tx::Defaults, BS_PUSHBUTTON | TabStop, gx + 172, gy + 156, 67, 21, idButton2);
    FPage2Order = {Button2};
    for (const SwatchRow& row : SwatchRows)
        FPage2Order.push_back(CreateChild(p, L"BUTTON", tx::Change, BS_PUSHBUTTON | TabStop,
                                          gx + row.buttonLeft, gy + row.buttonTop, 37, 21,
                                          idChangeButton1 + row.tag - 1));
    for (const SwatchRow& row : SwatchRows) {
        HWND shape = CreateChild(p, L"STATIC", nullptr, SS_OWNERDRAW | SS_NOTIFY,
                                 gx + row.swatchLeft, gy + row.swatchTop, 40, 20,
                                 idShape1 + row.tag - 1);
        FShapes[static_cast<std::size_t>(row.tag - 1)] = shape;
        SubclassSwatch(shape);
        CreateLabel(p, row.caption, gx + row.labelLeft, gy + row.labelTop);
    }
    // Drawn as its left edge: an etched vertical line (see DrawSwatch).
    CreateChild(p, L"STATIC", nullptr, SS_OWNERDRAW, gx + 132, gy + 12, 5, 161, idBevel1);
    CreateChild(p, L"BUTTON", tx::ColorGroup, BS_GROUPBOX, gx, gy, 273, 185, -1);

    Button3 = CreateChild(FHandle, L"BUTTON", tx::Ok, BS_PUSHBUTTON | TabStop, 156, 232, 65, 25, idButton3);
    Button4 = CreateChild(FHandle, L"BUTTON", tx::Cancel, BS_PUSHBUTTON | TabStop, 228, 232, 65, 25, idButton4);
    ShowPage(0);
}

}  // namespace pallowin
