#include "dialogs/edit_window.h"

#include <string>

#include "dialogs/item_commands.h"
#include "ui/controls.h"
#include "ui/text.h"

namespace {
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 101;

constexpr int kButton2 = IDOK;  // Enter writes back
constexpr int kButton3 = IDCANCEL;
constexpr int kEdit2 = 100;
constexpr int kEdit1 = 101;
constexpr int kLabel = -1;

constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

// In tab order.
constexpr ui::ControlSpec kControls[] = {
    {kLabel, L"STATIC", L"タイトル", 10, 13, 62, 14, WS_VISIBLE},
    {kEdit2, L"EDIT", L"", 75, 10, 245, 21, kField, WS_EX_CLIENTEDGE},
    {kLabel, L"STATIC", L"キーコード", 10, 41, 62, 14, WS_VISIBLE},
    {kEdit1, L"EDIT", L"", 75, 38, 245, 21, kField, WS_EX_CLIENTEDGE},
    {kButton2, L"BUTTON", L"登録", 165, 67, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {kButton3, L"BUTTON", L"キャンセル", 245, 67, 75, 25, WS_VISIBLE | WS_TABSTOP},
};
}  // namespace

bool TForm3::create(HWND owner) {
    if (!createDialog({L"TForm3", L"編集ウインドウ", kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    Edit1 = control(kEdit1);
    Edit2 = control(kEdit2);
    behaveAsDialog(kButton2);
    return true;
}

void TForm3::showForCurrentItem() {
    if (!IsWindowVisible(hwnd())) loadCurrentItem();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(Edit2);
}

// An empty list has no current item: the fields stay empty and "登録" will
// change nothing.
void TForm3::loadCurrentItem() {
    const storage::ItemLists& lists = mainWindow_.itemLists();
    position_ = mainWindow_.currentItem();
    std::wstring title, keyCode;
    if (item_commands::hasItem(lists, position_)) {
        title = ui::fromCp932(lists.titles[static_cast<std::size_t>(position_)]);
        keyCode = ui::fromCp932(lists.keyCodes[static_cast<std::size_t>(position_)]);
    } else {
        position_ = -1;
    }
    SetWindowTextW(Edit2, title.c_str());
    SetWindowTextW(Edit1, keyCode.c_str());
}

LRESULT TForm3::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            if (LOWORD(wParam) == kButton2) {
                Button2Click();
                return 0;
            }
            if (LOWORD(wParam) == kButton3) {
                Button3Click();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

// Writes back to the item the fields were loaded from, not to whichever line
// became current meanwhile; if that position is gone, nothing changes.
void TForm3::Button2Click() {
    const auto title = ui::storableText(Edit2);
    if (!title) return;
    if (!title->empty()) {
        const auto keyCode = ui::storableText(Edit1);
        if (!keyCode) return;
        if (item_commands::replaceItem(mainWindow_.itemLists(), position_, *title, *keyCode)) {
            mainWindow_.listsChanged();
            mainWindow_.showKeyCode(*keyCode);
        }
    }
    ShowWindow(hwnd(), SW_HIDE);
}

void TForm3::Button3Click() {
    ShowWindow(hwnd(), SW_HIDE);
}
