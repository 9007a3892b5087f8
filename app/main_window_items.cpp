// The item commands of the main menu "編集" and of the title list's menu, and
// the windows they and the menu "設定" open.
#include <vector>

#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "dialogs/rules/item_commands.h"
#include "ui/messages.h"

namespace {
bool refusedWhenFull(const storage::ItemLists& lists) {
    if (!item_commands::isFull(lists)) return false;
    ui::notice(main_window::texts::kListFull);
    return true;
}
}  // namespace

// "項目の追加": the registration window, filled from the clipboard.
void MainWindow::addItem() {
    if (refusedWhenFull(lists_)) return;
    registrationWindow().showForAdd();
}

// "項目を上に移動"
void MainWindow::moveItemUp() {
    if (item_commands::moveUp(lists_, currentItem())) listsChanged();
}

// "項目の削除": every highlighted item, after one question.
void MainWindow::deleteItems() {
    if (!ui::confirm(nullptr, main_window::texts::kDeleteCaption,
                     main_window::texts::kDeleteQuestion)) {
        return;
    }
    std::vector<int> highlighted(lists_.titles.size());
    const LRESULT count = SendMessageW(titleList_, LB_GETSELITEMS, highlighted.size(),
                                       reinterpret_cast<LPARAM>(highlighted.data()));
    highlighted.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    item_commands::deleteItems(lists_, highlighted);
    listsChanged();
    SendMessageW(titleList_, LB_SETSEL, FALSE, -1);
    showKeyCode("");
}

// "項目の編集"
void MainWindow::editItem() {
    editWindow().showForCurrentItem();
}

// "区切り線を挿入": at the current item.
void MainWindow::insertSeparator() {
    if (refusedWhenFull(lists_)) return;
    item_commands::insertSeparator(lists_, currentItem());
    listsChanged();
}

// "詳細設定"
void MainWindow::openSettings() {
    settingsWindow().showSettings();
}

// "バージョン情報"
void MainWindow::showAbout() {
    aboutWindow().showAbout();
}
