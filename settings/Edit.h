// TForm1: the modal settings dialog, plain Win32. A fresh form is made for
// every opening; it reads TPluginSettings when created and shown and writes
// it only at OK. Windows only.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pallowin {

// Control identifiers, unique within the form (so a test host can find each
// control among the form's descendants). None is IDOK or IDCANCEL: the Enter
// and Esc keys close nothing.
enum TForm1ControlId : int {
    idPageControl1 = 1000,
    idTabSheet1 = 1001,
    idTabSheet2 = 1002,
    idEdit1 = 1011,  // Edit1 to Edit4: idEdit1 + 0 to 3
    idCheckBox5 = 1021,
    idCheckBox1 = 1022,
    idCheckBox2 = 1023,
    idButton1 = 1031,  // default sizes
    idButton2 = 1032,  // default colours
    idButton3 = 1033,  // OK
    idButton4 = 1034,  // Cancel
    idBevel1 = 1041,
    idShape1 = 1101,         // the swatch with Tag k is idShape1 + k - 1
    idChangeButton1 = 1201,  // the change button with Tag k is idChangeButton1 + k - 1
};
constexpr int SwatchCount = 8;
// A swatch keeps its colour (0x00BBGGRR) in its GWLP_USERDATA.

class TForm1 {
public:
    TForm1();
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    bool Created() const { return FHandle != nullptr; }
    // Places the form by the host window, shows it modally and returns when
    // it has closed.
    void ShowModal(HWND placementWindow);

private:
    enum TModalResult { mrNone, mrOk, mrCancel };

    // Building (EditLayout.cpp).
    void CreateControls();
    HWND CreateChild(HWND parent, const wchar_t* windowClass, const char* caption, DWORD style,
                     int left, int top, int width, int height, int id, DWORD exStyle = 0);
    HWND CreateLabel(HWND parent, const char* caption, int left, int top);
    HWND CreatePage(HWND pageControl, int id);
    void SubclassEdit(HWND edit);
    void SubclassSwatch(HWND swatch);

    // Handlers (EditHandlers.cpp), named as the form names them.
    void FormCreate();
    void FormShow();
    void EditChange(int index);  // Edit1Change to Edit4Change
    void EditExit(int index);    // Edit1Exit to Edit4Exit
    bool Edit1KeyPress(wchar_t key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click(int tag);
    void Shape2MouseDown(int tag);
    void PageControl1Change();

    // Window plumbing (Edit.cpp).
    static INT_PTR CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Result, typename Handler>
    static Result Guarded(TForm1* form, Result fallback, Handler handler);
    bool HandleCommand(int id, int code);
    void DrawSwatch(const DRAWITEMSTRUCT& item);  // and the bevel
    void EditLosingFocus(HWND edit, HWND newFocus);
    bool RunPendingExit();
    void RunModalLoop();
    // Tab and Shift+Tab follow the form's tab orders, the page control
    // itself included; Ctrl+Tab turns the page.
    bool HandleTabKey(const MSG& msg);
    std::vector<HWND> TabOrder() const;

    // Focus as the handlers see it: before the form is visible, the control
    // chosen to receive the focus; afterwards the real keyboard focus.
    void FocusControl(HWND control);
    bool Focused(HWND control) const;
    int EditIndex(HWND window) const;
    std::wstring EditText(int index) const;
    // Assigns only a text that differs, so an equal text notifies nothing.
    void SetEditText(int index, const std::wstring& text);
    bool Checked(HWND checkBox) const;
    void SetChecked(HWND checkBox, bool checked);
    std::int32_t ShapeColor(int tag) const;
    void SetShapeColor(int tag, std::int32_t color);
    void ChooseShapeColor(int tag);
    void ShowPage(int page);

    HWND FHandle = nullptr;
    HFONT FFont = nullptr;
    HWND PageControl1 = nullptr;
    HWND TabSheet1 = nullptr;
    HWND TabSheet2 = nullptr;
    std::array<HWND, 4> FEdits{};  // Edit1 to Edit4
    HWND CheckBox1 = nullptr, CheckBox2 = nullptr, CheckBox5 = nullptr;
    HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, Button4 = nullptr;
    std::array<HWND, SwatchCount> FShapes{};  // Shape1 to Shape8 by Tag 1 to 8
    std::vector<HWND> FPage1Order, FPage2Order;  // tab order within each page

    // The text each edit last announced, to drop notifications of no change.
    std::array<std::wstring, 4> FEditTexts;
    HWND FActiveControl = nullptr;
    bool FShowing = false;
    int FPendingExit = -1;  // the edit left empty whose exit check is due
    TModalResult FModalResult = mrNone;
    COLORREF FDialogColor = 0;  // ColorDialog1's colour
    COLORREF FCustomColors[16];
};

}  // namespace pallowin
