// The edit window: changes the title and key code of one item in memory; the
// group files get the change with the group's next write. Modeless; created
// once and hidden when closed. It writes back only to the item it loaded.
#pragma once

#include "dialogs/rules/item_commands.h"
#include "dialogs/main_window_access.h"
#include "ui/window.h"

class EditWindow : public ui::Window {
public:
    explicit EditWindow(MainWindowAccess& mainWindow) : mainWindow_(mainWindow) {}
    bool create(HWND owner);

    // The edit command. Coming from hidden the window loads the current item;
    // already shown it only comes to the front and keeps its fields.
    void showForCurrentItem();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void loadCurrentItem();
    void writeBack();  // 登録
    void cancel();     // キャンセル

    MainWindowAccess& mainWindow_;
    // The item the fields were loaded from; position -1 when the list was empty.
    item_commands::LoadedItem loaded_;

    HWND keyCodeField_ = nullptr;
    HWND titleField_ = nullptr;
};
