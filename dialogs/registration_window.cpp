#include "dialogs/registration_window.h"

#include <vector>

#include "dialogs/texts.h"
#include "dialogs/rules/item_commands.h"
#include "dialogs/item_editing_controls.h"
#include "dialogs/rules/key_code_generator.h"
#include "dialogs/rules/macro_templates.h"
#include "platform/desktop.h"
#include "platform/random_source.h"
#include "ui/controls.h"
#include "platform/code_page_932.h"

namespace {
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 232;

constexpr int kRegisterButton = IDOK;  // Enter registers
constexpr int kCancelButton = IDCANCEL;
constexpr int kTitleField = 100;
constexpr int kKeyCodeField = 101;
constexpr int kLengthChoice = 102;
constexpr int kGenerateButton = 103;
constexpr int kDigitsBox = 104;
constexpr int kUpperCaseBox = 105;
constexpr int kLowerCaseBox = 106;
constexpr int kTemplateChoice = 107;
constexpr int kClearButton = 108;
constexpr int kLabel = -1;

constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kComboBox = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD kCheckBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

// In tab order.
constexpr ui::ControlLayout kControls[] = {
    {kLabel, L"STATIC", L"タイトル", 10, 13, 62, 14, WS_VISIBLE},
    {kTitleField, L"EDIT", L"", 75, 10, 275, 21, kField, WS_EX_CLIENTEDGE},
    {kLabel, L"STATIC", L"キーコード", 10, 41, 62, 14, WS_VISIBLE},
    {kKeyCodeField, L"EDIT", L"", 75, 38, 225, 21, kField, WS_EX_CLIENTEDGE},
    {kRegisterButton, L"BUTTON", L"登録", 195, 197, 75, 25,
     WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {kCancelButton, L"BUTTON", L"キャンセル", 275, 197, 75, 25, WS_VISIBLE | WS_TABSTOP},
    {kLabel, L"BUTTON", L"キーコード設定項目", 10, 68, 340, 118, WS_VISIBLE | BS_GROUPBOX},
    {kLabel, L"STATIC", L"桁数設定", 22, 92, 55, 14, WS_VISIBLE},
    {kLengthChoice, L"COMBOBOX", L"", 80, 88, 60, 21, kComboBox},
    {kGenerateButton, L"BUTTON", L"自動生成", 150, 87, 80, 23, WS_VISIBLE | WS_TABSTOP},
    {kDigitsBox, L"BUTTON", L"数字を使用", 22, 118, 200, 18, kCheckBox},
    {kUpperCaseBox, L"BUTTON", L"英字 - 大文字を使用", 22, 138, 200, 18, kCheckBox},
    {kLowerCaseBox, L"BUTTON", L"英字 - 小文字を使用", 22, 158, 200, 18, kCheckBox},
    {kTemplateChoice, L"COMBOBOX", L"", 10, 199, 160, 21, kComboBox},
    {kClearButton, L"BUTTON", L"クリア", 305, 38, 45, 21, WS_VISIBLE | WS_TABSTOP},
};

constexpr int kDefaultLengthEntry = 6;  // "7"
constexpr int kLengthRows = 11;
constexpr int kTemplateRows = 9;

bool isChecked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

RegistrationWindow::RegistrationWindow(MainWindowAccess& mainWindow)
    : mainWindow_(mainWindow), programModeWindow_(mainWindow, *this) {}

bool RegistrationWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuRegistrationWindow", dialog_texts::kRegistrationCaption,
                       kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    keyCodeField_ = control(kKeyCodeField);
    titleField_ = control(kTitleField);
    lengthChoice_ = control(kLengthChoice);
    templateChoice_ = control(kTemplateChoice);
    digitsBox_ = control(kDigitsBox);
    upperCaseBox_ = control(kUpperCaseBox);
    lowerCaseBox_ = control(kLowerCaseBox);

    std::vector<std::wstring> lengths;
    for (int length = 1; length <= key_code_generator::kLongestLength; ++length)
        lengths.push_back(std::to_wstring(length));
    item_editing::setEntries(lengthChoice_, lengths);
    SendMessageW(lengthChoice_, CB_SETCURSEL, kDefaultLengthEntry, 0);
    item_editing::showRowsWhenOpen(lengthChoice_, kLengthRows);

    std::vector<std::wstring> captions;
    for (const auto& entry : macro_templates::all())
        captions.push_back(platform::fromUtf8(entry.caption));
    item_editing::setEntries(templateChoice_, captions);
    SetWindowTextW(templateChoice_, platform::fromUtf8(macro_templates::kMenuPlaceholder).c_str());
    item_editing::showRowsWhenOpen(templateChoice_, kTemplateRows);

    for (HWND box : {digitsBox_, upperCaseBox_, lowerCaseBox_})
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    behaveAsDialog(kRegisterButton);
    return programModeWindow_.create(hwnd());
}

void RegistrationWindow::showForAdd() {
    const auto prefill = item_commands::addPrefill(platform::readClipboardText(),
                                                   mainWindow_.itemLists().titles.size());
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetWindowTextW(keyCodeField_, prefill.keyCode.c_str());
    SetWindowTextW(titleField_, prefill.title.c_str());
    SetFocus(titleField_);
}

void RegistrationWindow::setKeyCode(const std::wstring& keyCode) {
    SetWindowTextW(keyCodeField_, keyCode.c_str());
}

LRESULT RegistrationWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kGenerateButton:
                    if (HIWORD(wParam) == BN_CLICKED) generateKeyCode();
                    return 0;
                case kRegisterButton:
                    if (HIWORD(wParam) == BN_CLICKED) registerItem();
                    return 0;
                case kCancelButton:
                    if (HIWORD(wParam) == BN_CLICKED) cancel();
                    return 0;
                case kClearButton:
                    if (HIWORD(wParam) == BN_CLICKED) clearFields();
                    return 0;
                case kTemplateChoice:
                    // Typed text chooses no entry and so writes nothing.
                    if (HIWORD(wParam) == CBN_SELCHANGE) applyTemplate();
                    return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

// Without any allowed class the key code field keeps its text.
void RegistrationWindow::generateKeyCode() {
    const key_code_generator::CharacterClasses classes{
        isChecked(digitsBox_), isChecked(upperCaseBox_), isChecked(lowerCaseBox_)};
    const int length = item_editing::entryOfText(lengthChoice_) + 1;
    if (const auto keyCode =
            key_code_generator::generate(classes, length, platform::systemRandom()))
        SetWindowTextW(keyCodeField_, platform::fromCp932(*keyCode).c_str());
}

void RegistrationWindow::registerItem() {
    const auto title = ui::storableText(titleField_);
    if (!title) return;
    if (title->empty()) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    const auto keyCode = ui::storableText(keyCodeField_);
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

void RegistrationWindow::cancel() {
    ShowWindow(hwnd(), SW_HIDE);
}

void RegistrationWindow::clearFields() {
    SetWindowTextW(keyCodeField_, L"");
    SetWindowTextW(titleField_, L"");
}

void RegistrationWindow::applyTemplate() {
    const auto* chosen =
        macro_templates::at(static_cast<int>(SendMessageW(templateChoice_, CB_GETCURSEL, 0, 0)));
    if (!chosen) return;
    SetWindowTextW(titleField_, platform::fromCp932(chosen->title).c_str());
    if (chosen->keyCode)
        SetWindowTextW(keyCodeField_, platform::fromCp932(*chosen->keyCode).c_str());
    if (chosen->composesSequence) programModeWindow_.showForComposition();
}
