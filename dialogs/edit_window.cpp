#include "dialogs/edit_window.h"

#include <string>

#include "dialogs/texts.h"
#include "dialogs/rules/item_commands.h"
#include "ui/controls.h"
#include "ui/messages.h"
#include "platform/code_page_932.h"

namespace {
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 101;

constexpr int kWriteBackButton = IDOK;  // Enter writes back
constexpr int kCancelButton = IDCANCEL;
constexpr int kTitleField = 100;
constexpr int kKeyCodeField = 101;
constexpr int kLabel = -1;

constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

// In tab order.
constexpr ui::ControlLayout kControls[] = {
    {kLabel, L"STATIC", L"タイトル", 10, 13, 62, 14, WS_VISIBLE},
    {kTitleField, L"EDIT", L"", 75, 10, 245, 21, kField, WS_EX_CLIENTEDGE},
    {kLabel, L"STATIC", L"キーコード", 10, 41, 62, 14, WS_VISIBLE},
    {kKeyCodeField, L"EDIT", L"", 75, 38, 245, 21, kField, WS_EX_CLIENTEDGE},
    {kWriteBackButton, L"BUTTON", L"登録", 165, 67, 75, 25,
     WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {kCancelButton, L"BUTTON", L"キャンセル", 245, 67, 75, 25, WS_VISIBLE | WS_TABSTOP},
};
}  // namespace

bool EditWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuEditWindow", dialog_texts::kEditCaption, kClientWidth,
                       kClientHeight, owner}))
        return false;
    createControls(kControls);
    keyCodeField_ = control(kKeyCodeField);
    titleField_ = control(kTitleField);
    behaveAsDialog(kWriteBackButton);
    return true;
}

void EditWindow::showForCurrentItem() {
    if (!IsWindowVisible(hwnd())) loadCurrentItem();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(titleField_);
}

// An empty list has no current item: the fields stay empty and "登録" will
// change nothing.
void EditWindow::loadCurrentItem() {
    loaded_ = item_commands::loadItem(mainWindow_.itemLists(), mainWindow_.groupOnDisplay(),
                                      mainWindow_.currentItem());
    SetWindowTextW(titleField_, platform::fromCp932(loaded_.title).c_str());
    SetWindowTextW(keyCodeField_, platform::fromCp932(loaded_.keyCode).c_str());
}

LRESULT EditWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            if (LOWORD(wParam) == kWriteBackButton) {
                writeBack();
                return 0;
            }
            if (LOWORD(wParam) == kCancelButton) {
                cancel();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

// Writes back only to the item the fields were loaded from, and only while it
// still stands where it was: after a deletion, a move, a group switch or an
// import the same position may hold another item.
void EditWindow::writeBack() {
    const auto title = ui::storableText(titleField_);
    if (!title) return;
    if (!title->empty() && loaded_.position >= 0) {
        const auto keyCode = ui::storableText(keyCodeField_);
        if (!keyCode) return;
        storage::ItemLists& lists = mainWindow_.itemLists();
        if (!item_commands::stillStands(loaded_, lists, mainWindow_.groupOnDisplay())) {
            // The window stays open with what the user typed.
            ui::notice(dialog_texts::kItemChanged);
            return;
        }
        item_commands::replaceItem(lists, loaded_.position, *title, *keyCode);
        mainWindow_.listsChanged();
        mainWindow_.showKeyCode(*keyCode);
    }
    ShowWindow(hwnd(), SW_HIDE);
}

void EditWindow::cancel() {
    ShowWindow(hwnd(), SW_HIDE);
}
