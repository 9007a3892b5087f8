#include "dialogs/program_mode_window.h"

#include <string>
#include <vector>

#include "dialogs/texts.h"
#include "dialogs/item_editing_controls.h"
#include "dialogs/registration_window.h"
#include "ui/controls.h"
#include "platform/code_page_932.h"

namespace {
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 105;

constexpr int kItemChooser = 100;
constexpr int kSequenceField = 101;
constexpr int kClearButton = 102;
constexpr int kTabButton = 103;
constexpr int kEnterButton = 104;
constexpr int kConfirmButton = 105;
constexpr int kCancelButton = IDCANCEL;

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP;

constexpr ui::ControlLayout kControls[] = {
    {kItemChooser, L"COMBOBOX", L"", 10, 10, 300, 21,
     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL},
    {kSequenceField, L"EDIT", L"", 10, 40, 245, 21, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE},
    {kClearButton, L"BUTTON", L"クリア", 260, 40, 50, 21, kButton},
    {kTabButton, L"BUTTON", L"[TAB]", 10, 72, 65, 25, kButton},
    {kEnterButton, L"BUTTON", L"[Enter]", 80, 72, 65, 25, kButton},
    {kConfirmButton, L"BUTTON", L"確定", 165, 72, 70, 25, kButton},
    {kCancelButton, L"BUTTON", L"キャンセル", 240, 72, 70, 25, kButton},
};

constexpr int kChooserRows = 11;
}  // namespace

bool ProgramModeWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuProgramModeWindow", dialog_texts::kProgramModeCaption,
                       kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    itemChooser_ = control(kItemChooser);
    sequenceField_ = control(kSequenceField);
    item_editing::showRowsWhenOpen(itemChooser_, kChooserRows);
    behaveAsDialog(0);
    return true;
}

void ProgramModeWindow::showForComposition() {
    if (!IsWindowVisible(hwnd())) {
        std::vector<std::wstring> titles;
        for (const std::string& title : mainWindow_.itemLists().titles)
            titles.push_back(platform::fromCp932(title));
        item_editing::setEntries(itemChooser_, titles);
        composer_.restart();
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(itemChooser_);
}

LRESULT ProgramModeWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const WORD code = HIWORD(wParam);
            switch (LOWORD(wParam)) {
                // Every change of the chooser is a step, typed text too.
                case kItemChooser:
                    if (code == CBN_SELCHANGE)
                        addItemStep(
                            static_cast<int>(SendMessageW(itemChooser_, CB_GETCURSEL, 0, 0)));
                    else if (code == CBN_EDITCHANGE)
                        addItemStep(item_editing::entryOfText(itemChooser_));
                    return 0;
                case kTabButton:
                    if (code == BN_CLICKED) addTabStep();
                    return 0;
                case kEnterButton:
                    if (code == BN_CLICKED) addEnterStep();
                    return 0;
                case kConfirmButton:
                    if (code == BN_CLICKED) confirm();
                    return 0;
                case kCancelButton:
                    if (code == BN_CLICKED) cancel();
                    return 0;
                case kClearButton:
                    if (code == BN_CLICKED) clearSequence();
                    return 0;
            }
            break;
        }
    }
    return defaultHandling(message, wParam, lParam);
}

// A step beyond the sixth leaves the field as it was, typed text included.
void ProgramModeWindow::addItemStep(int chosenEntry) {
    if (composer_.addItem(chosenEntry)) showSequence();
}

void ProgramModeWindow::addTabStep() {
    if (composer_.addTab()) showSequence();
}

void ProgramModeWindow::addEnterStep() {
    if (composer_.addEnter()) showSequence();
}

// Hands over the field as it stands, also when typed into by hand.
void ProgramModeWindow::confirm() {
    registrationWindow_.setKeyCode(ui::windowText(sequenceField_));
    ShowWindow(hwnd(), SW_HIDE);
}

void ProgramModeWindow::cancel() {
    ShowWindow(hwnd(), SW_HIDE);
}

void ProgramModeWindow::clearSequence() {
    composer_.restart();
    SetWindowTextW(sequenceField_, L"");
}

void ProgramModeWindow::showSequence() {
    SetWindowTextW(sequenceField_, platform::fromCp932(composer_.sequence()).c_str());
}
