// The registration window: a new item's title and key code, with a key code
// generator and a menu of macro templates. "登録" appends the item to the
// group on display and writes that group's files at once. Modeless; created
// once and hidden when closed.
#pragma once

#include <string>

#include "dialogs/main_window_access.h"
#include "dialogs/program_mode_window.h"
#include "ui/window.h"

class RegistrationWindow : public ui::Window {
public:
    explicit RegistrationWindow(MainWindowAccess& mainWindow);
    // Creates this window and the program mode window that fills its key code
    // field, both hidden.
    bool create(HWND owner);

    // The add command, once its capacity test has passed: the title field
    // gets the number of items, the key code field the clipboard's first line.
    // A window already shown comes to the front with both fields overwritten.
    void showForAdd();

    // The program mode window's "確定".
    void setKeyCode(const std::wstring& keyCode);

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void generateKeyCode();  // 自動生成
    void registerItem();     // 登録
    void cancel();           // キャンセル
    void clearFields();      // クリア
    void applyTemplate();

    MainWindowAccess& mainWindow_;
    ProgramModeWindow programModeWindow_;

    HWND keyCodeField_ = nullptr;
    HWND titleField_ = nullptr;
    HWND lengthChoice_ = nullptr;
    HWND templateChoice_ = nullptr;
    HWND digitsBox_ = nullptr;
    HWND upperCaseBox_ = nullptr;
    HWND lowerCaseBox_ = nullptr;
};
