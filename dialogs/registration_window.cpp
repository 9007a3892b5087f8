#include "dialogs/registration_window.h"

#include <vector>

#include "dialogs/item_commands.h"
#include "dialogs/item_editing_controls.h"
#include "dialogs/key_code_generator.h"
#include "dialogs/macro_templates.h"
#include "ui/controls.h"
#include "ui/text.h"

namespace {
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 232;

constexpr int kButton2 = IDOK;  // Enter registers
constexpr int kButton3 = IDCANCEL;
constexpr int kEdit2 = 100;
constexpr int kEdit1 = 101;
constexpr int kComboBox1 = 102;
constexpr int kButton1 = 103;
constexpr int kCheckBox1 = 104;
constexpr int kCheckBox2 = 105;
constexpr int kCheckBox3 = 106;
constexpr int kComboBox2 = 107;
constexpr int kButton4 = 108;
constexpr int kLabel = -1;

constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kComboBox = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD kCheckBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

// In tab order.
constexpr ui::ControlSpec kControls[] = {
    {kLabel, L"STATIC", L"タイトル", 10, 13, 62, 14, WS_VISIBLE},
    {kEdit2, L"EDIT", L"", 75, 10, 275, 21, kField, WS_EX_CLIENTEDGE},
    {kLabel, L"STATIC", L"キーコード", 10, 41, 62, 14, WS_VISIBLE},
    {kEdit1, L"EDIT", L"", 75, 38, 225, 21, kField, WS_EX_CLIENTEDGE},
    {kButton2, L"BUTTON", L"登録", 195, 197, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {kButton3, L"BUTTON", L"キャンセル", 275, 197, 75, 25, WS_VISIBLE | WS_TABSTOP},
    {kLabel, L"BUTTON", L"キーコード設定項目", 10, 68, 340, 118, WS_VISIBLE | BS_GROUPBOX},
    {kLabel, L"STATIC", L"桁数設定", 22, 92, 55, 14, WS_VISIBLE},
    {kComboBox1, L"COMBOBOX", L"", 80, 88, 60, 21, kComboBox},
    {kButton1, L"BUTTON", L"自動生成", 150, 87, 80, 23, WS_VISIBLE | WS_TABSTOP},
    {kCheckBox1, L"BUTTON", L"数字を使用", 22, 118, 200, 18, kCheckBox},
    {kCheckBox2, L"BUTTON", L"英字 - 大文字を使用", 22, 138, 200, 18, kCheckBox},
    {kCheckBox3, L"BUTTON", L"英字 - 小文字を使用", 22, 158, 200, 18, kCheckBox},
    {kComboBox2, L"COMBOBOX", L"", 10, 199, 160, 21, kComboBox},
    {kButton4, L"BUTTON", L"クリア", 305, 38, 45, 21, WS_VISIBLE | WS_TABSTOP},
};

constexpr int kDefaultLengthEntry = 6;  // "7"
constexpr int kLengthRows = 11;
constexpr int kTemplateRows = 9;

bool isChecked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The clipboard's text, empty when it holds none or cannot be opened.
std::wstring clipboardText() {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}
}  // namespace

TForm2::TForm2(MainWindowAccess& mainWindow)
    : mainWindow_(mainWindow), programModeWindow_(mainWindow, *this) {}

bool TForm2::create(HWND owner) {
    if (!createDialog({L"TForm2", L"登録ウインドウ", kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    Edit1 = control(kEdit1);
    Edit2 = control(kEdit2);
    ComboBox1 = control(kComboBox1);
    ComboBox2 = control(kComboBox2);
    CheckBox1 = control(kCheckBox1);
    CheckBox2 = control(kCheckBox2);
    CheckBox3 = control(kCheckBox3);

    std::vector<std::wstring> lengths;
    for (int length = 1; length <= key_code_generator::kLongestLength; ++length)
        lengths.push_back(std::to_wstring(length));
    item_editing::setEntries(ComboBox1, lengths);
    SendMessageW(ComboBox1, CB_SETCURSEL, kDefaultLengthEntry, 0);
    item_editing::showRowsWhenOpen(ComboBox1, kLengthRows);

    std::vector<std::wstring> captions;
    for (const auto& entry : macro_templates::all())
        captions.push_back(ui::fromUtf8(entry.caption));
    item_editing::setEntries(ComboBox2, captions);
    SetWindowTextW(ComboBox2, ui::fromUtf8(macro_templates::kMenuPlaceholder).c_str());
    item_editing::showRowsWhenOpen(ComboBox2, kTemplateRows);

    for (HWND box : {CheckBox1, CheckBox2, CheckBox3})
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    behaveAsDialog(kButton2);
    return programModeWindow_.create(hwnd());
}

void TForm2::showForAdd() {
    const auto prefill =
        item_commands::addPrefill(clipboardText(), mainWindow_.itemLists().titles.size());
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetWindowTextW(Edit1, prefill.keyCode.c_str());
    SetWindowTextW(Edit2, prefill.title.c_str());
    SetFocus(Edit2);
}

void TForm2::setKeyCode(const std::wstring& keyCode) {
    SetWindowTextW(Edit1, keyCode.c_str());
}

LRESULT TForm2::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kButton1:
                    if (HIWORD(wParam) == BN_CLICKED) Button1Click();
                    return 0;
                case kButton2:
                    if (HIWORD(wParam) == BN_CLICKED) Button2Click();
                    return 0;
                case kButton3:
                    if (HIWORD(wParam) == BN_CLICKED) Button3Click();
                    return 0;
                case kButton4:
                    if (HIWORD(wParam) == BN_CLICKED) Button4Click();
                    return 0;
                case kComboBox2:
                    // Typed text chooses no entry and so writes nothing.
                    if (HIWORD(wParam) == CBN_SELCHANGE) ComboBox2Change();
                    return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

// Reseeded from the clock on every press; without any allowed class the key
// code field keeps its text.
void TForm2::Button1Click() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const auto seed = key_code_generator::millisecondsSinceMidnight(now.wHour, now.wMinute,
                                                                    now.wSecond, now.wMilliseconds);
    const key_code_generator::CharacterClasses classes{isChecked(CheckBox1), isChecked(CheckBox2),
                                                       isChecked(CheckBox3)};
    const int length = item_editing::entryOfText(ComboBox1) + 1;
    if (const auto keyCode = key_code_generator::generate(classes, length, seed))
        SetWindowTextW(Edit1, ui::fromCp932(*keyCode).c_str());
}

void TForm2::Button2Click() {
    const auto title = ui::storableText(Edit2);
    if (!title) return;
    if (title->empty()) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    const auto keyCode = ui::storableText(Edit1);
    if (!keyCode) return;
    item_commands::appendItem(mainWindow_.itemLists(), *title, *keyCode);
    mainWindow_.listsChanged();
    mainWindow_.showKeyCode(*keyCode);
    // Hidden before the write: a failed write is shown by the window layer and
    // the item, already in both lists, goes with the group's next write, so
    // pressing "登録" again would only add it twice.
    ShowWindow(hwnd(), SW_HIDE);
    mainWindow_.storeGroupOnDisplay();
}

void TForm2::Button3Click() {
    ShowWindow(hwnd(), SW_HIDE);
}

void TForm2::Button4Click() {
    SetWindowTextW(Edit1, L"");
    SetWindowTextW(Edit2, L"");
}

void TForm2::ComboBox2Change() {
    const auto* chosen =
        macro_templates::at(static_cast<int>(SendMessageW(ComboBox2, CB_GETCURSEL, 0, 0)));
    if (!chosen) return;
    SetWindowTextW(Edit2, ui::fromCp932(chosen->title).c_str());
    if (chosen->keyCode) SetWindowTextW(Edit1, ui::fromCp932(*chosen->keyCode).c_str());
    if (chosen->composesSequence) programModeWindow_.showForComposition();
}
