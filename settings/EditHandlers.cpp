// The form's handlers: what the dialog does with the user's edits.
#include "settings/Edit.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cmath>
#include <optional>

#include "settings/EditText.h"
#include "settings/PluginSettings.h"
#include "settings/SettingsStore.h"

namespace pallowin {

namespace {

constexpr const wchar_t* DefaultSizeTexts[4] = {L"518", L"366", L"100", L"100"};

int PartnerOf(int index) { return index ^ 1; }

}  // namespace

void TForm1::FormCreate() {
    for (int tag = 1; tag <= SwatchCount; ++tag) SetShapeColor(tag, PluginSettings.Colors[tag - 1]);
    SetChecked(CheckBox1, PluginSettings.ViewMode);
    SetChecked(CheckBox2, PluginSettings.BakMode);
    SetChecked(CheckBox5, true);
}

// Each edit takes the focus before its text is set, so the coupling runs from
// it to its partner; see EditChange.
void TForm1::FormShow() {
    const std::int32_t sizes[4] = {PluginSettings.JWC_W, PluginSettings.JWC_H,
                                   PluginSettings.JWK_W, PluginSettings.JWK_H};
    for (int i = 0; i < 4; ++i) {
        FocusControl(FEdits[static_cast<std::size_t>(i)]);
        SetEditText(i, DecimalText(sizes[i]));
    }
}

// The ratio coupling: a change sets the partner unless the partner has the
// focus, which is what keeps the coupling from running back.
void TForm1::EditChange(int index) {
    const std::wstring text = EditText(index);
    std::wstring& known = FEditTexts[static_cast<std::size_t>(index)];
    if (text == known) return;  // the edit reports a change that is none
    known = text;

    const int partner = PartnerOf(index);
    if (!Checked(CheckBox5) || Focused(FEdits[static_cast<std::size_t>(partner)])) return;
    if (index >= 2) {  // the figure pair stays square, empty text included
        SetEditText(partner, text);
        return;
    }
    if (text.empty()) return;
    const std::optional<std::int32_t> n = TextToInt(text);
    if (!n) {
        ShowNotAnInteger(FHandle, text);
        return;
    }
    // Paper ratio: width = height x sqrt 2. Never a tie for n != 0; a result
    // beyond 32 bits is shown as it is and refused at OK.
    const double ratio = std::sqrt(2.0);
    const double value = index == 0 ? *n / ratio : *n * ratio;
    SetEditText(partner, DecimalText(std::llround(value)));
}

void TForm1::EditExit(int index) {
    if (!IsWindowVisible(TabSheet1)) ShowPage(0);
    ShowInvalidNumber(FHandle);
    FocusControl(FEdits[static_cast<std::size_t>(index)]);
    SetEditText(index, DefaultSizeTexts[index]);
}

// Only typed characters are filtered; pasted text passes.
bool TForm1::Edit1KeyPress(wchar_t key) {
    return key == 8 || key == 13 || key == 27 || (key >= L'0' && key <= L'9');
}

// Each edit is set while its partner has the focus, so nothing couples.
void TForm1::Button1Click() {
    if (RunPendingExit()) return;
    FocusControl(FEdits[1]);
    SetEditText(0, DefaultSizeTexts[0]);
    FocusControl(FEdits[0]);
    SetEditText(1, DefaultSizeTexts[1]);
    FocusControl(FEdits[3]);
    SetEditText(2, DefaultSizeTexts[2]);
    FocusControl(FEdits[2]);
    SetEditText(3, DefaultSizeTexts[3]);
}

void TForm1::Button2Click() {
    if (RunPendingExit()) return;
    for (int tag = 1; tag <= SwatchCount; ++tag) SetShapeColor(tag, DefaultColors[tag - 1]);
}

// OK converts all four sizes before it assigns anything, so a text that does
// not convert leaves TPluginSettings as it was; the dialog stays open. What
// OK confirms is saved at once, not only when the host unloads the plug-in.
void TForm1::Button3Click() {
    if (RunPendingExit()) return;
    std::int32_t sizes[4];
    for (int i = 0; i < 4; ++i) {
        const std::wstring text = EditText(i);
        const std::optional<std::int32_t> n = TextToInt(text);
        if (!n) {
            ShowNotAnInteger(FHandle, text);
            return;
        }
        sizes[i] = *n;
    }
    PluginSettings.JWC_W = sizes[0];
    PluginSettings.JWC_H = sizes[1];
    PluginSettings.JWK_W = sizes[2];
    PluginSettings.JWK_H = sizes[3];
    PluginSettings.ViewMode = Checked(CheckBox1);
    PluginSettings.BakMode = Checked(CheckBox2);
    for (int tag = 1; tag <= SwatchCount; ++tag) PluginSettings.Colors[tag - 1] = ShapeColor(tag);
    SaveSettingsToStore(PluginSettings);
    FModalResult = mrOk;
}

void TForm1::Button4Click() {
    if (RunPendingExit()) return;
    FModalResult = mrCancel;
}

void TForm1::Button5Click(int tag) {
    if (RunPendingExit()) return;
    ChooseShapeColor(tag);
}

void TForm1::Shape2MouseDown(int tag) { ChooseShapeColor(tag); }

void TForm1::ChooseShapeColor(int tag) {
    if (tag < 1 || tag > SwatchCount) return;
    FDialogColor = static_cast<COLORREF>(ShapeColor(tag));
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = FHandle;
    dialog.rgbResult = FDialogColor;
    dialog.lpCustColors = FCustomColors;
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorW(&dialog)) return;
    FDialogColor = dialog.rgbResult;
    SetShapeColor(tag, static_cast<std::int32_t>(FDialogColor));
}

void TForm1::PageControl1Change() { ShowPage(TabCtrl_GetCurSel(PageControl1)); }

}  // namespace pallowin
