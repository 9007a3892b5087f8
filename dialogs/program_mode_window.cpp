#include "dialogs/program_mode_window.h"

#include <string>
#include <vector>

#include "dialogs/item_editing_controls.h"
#include "dialogs/registration_window.h"
#include "ui/controls.h"
#include "ui/text.h"

namespace {
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 105;

constexpr int kComboBox1 = 100;
constexpr int kEdit1 = 101;
constexpr int kButton5 = 102;
constexpr int kButton1 = 103;
constexpr int kButton2 = 104;
constexpr int kButton3 = 105;
constexpr int kButton4 = IDCANCEL;

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP;

constexpr ui::ControlSpec kControls[] = {
    {kComboBox1, L"COMBOBOX", L"", 10, 10, 300, 21,
     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL},
    {kEdit1, L"EDIT", L"", 10, 40, 245, 21, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE},
    {kButton5, L"BUTTON", L"クリア", 260, 40, 50, 21, kButton},
    {kButton1, L"BUTTON", L"[TAB]", 10, 72, 65, 25, kButton},
    {kButton2, L"BUTTON", L"[Enter]", 80, 72, 65, 25, kButton},
    {kButton3, L"BUTTON", L"確定", 165, 72, 70, 25, kButton},
    {kButton4, L"BUTTON", L"キャンセル", 240, 72, 70, 25, kButton},
};

constexpr int kChooserRows = 11;
}  // namespace

bool TForm6::create(HWND owner) {
    if (!createDialog(
            {L"TForm6", L"プログラムモード入力ウインドウ", kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    ComboBox1 = control(kComboBox1);
    Edit1 = control(kEdit1);
    item_editing::showRowsWhenOpen(ComboBox1, kChooserRows);
    behaveAsDialog(0);
    return true;
}

void TForm6::showForComposition() {
    if (!IsWindowVisible(hwnd())) {
        std::vector<std::wstring> titles;
        for (const std::string& title : mainWindow_.itemLists().titles)
            titles.push_back(ui::fromCp932(title));
        item_editing::setEntries(ComboBox1, titles);
        composer_.restart();
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(ComboBox1);
}

LRESULT TForm6::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const WORD code = HIWORD(wParam);
            switch (LOWORD(wParam)) {
                // Every change of the chooser is a step, typed text too.
                case kComboBox1:
                    if (code == CBN_SELCHANGE)
                        ComboBox1Change(
                            static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0)));
                    else if (code == CBN_EDITCHANGE)
                        ComboBox1Change(item_editing::entryOfText(ComboBox1));
                    return 0;
                case kButton1:
                    if (code == BN_CLICKED) Button1Click();
                    return 0;
                case kButton2:
                    if (code == BN_CLICKED) Button2Click();
                    return 0;
                case kButton3:
                    if (code == BN_CLICKED) Button3Click();
                    return 0;
                case kButton4:
                    if (code == BN_CLICKED) Button4Click();
                    return 0;
                case kButton5:
                    if (code == BN_CLICKED) Button5Click();
                    return 0;
            }
            break;
        }
    }
    return defaultHandling(message, wParam, lParam);
}

// A step beyond the sixth leaves the field as it was, typed text included.
void TForm6::ComboBox1Change(int chosenEntry) {
    if (composer_.addItem(chosenEntry)) showSequence();
}

void TForm6::Button1Click() {
    if (composer_.addTab()) showSequence();
}

void TForm6::Button2Click() {
    if (composer_.addEnter()) showSequence();
}

// Hands over the field as it stands, also when typed into by hand.
void TForm6::Button3Click() {
    registrationWindow_.setKeyCode(ui::windowText(Edit1));
    ShowWindow(hwnd(), SW_HIDE);
}

void TForm6::Button4Click() {
    ShowWindow(hwnd(), SW_HIDE);
}

void TForm6::Button5Click() {
    composer_.restart();
    SetWindowTextW(Edit1, L"");
}

void TForm6::showSequence() {
    SetWindowTextW(Edit1, ui::fromCp932(composer_.sequence()).c_str());
}
