// The registration window: a new item's title and key code, with a key code
// generator and a menu of macro templates. "登録" appends the item to the
// group on display and writes that group's files at once. Modeless; created
// once and hidden when closed.
#pragma once

#include <string>

#include "dialogs/main_window_access.h"
#include "dialogs/program_mode_window.h"
#include "ui/window.h"

class TForm2 : public ui::Window {
public:
    explicit TForm2(MainWindowAccess& mainWindow);
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

    void Button1Click();  // 自動生成
    void Button2Click();  // 登録
    void Button3Click();  // キャンセル
    void Button4Click();  // クリア
    void ComboBox2Change();

    MainWindowAccess& mainWindow_;
    TForm6 programModeWindow_;

    HWND Edit1 = nullptr;      // key code
    HWND Edit2 = nullptr;      // title
    HWND ComboBox1 = nullptr;  // length
    HWND ComboBox2 = nullptr;  // templates
    HWND CheckBox1 = nullptr;  // digits
    HWND CheckBox2 = nullptr;  // upper case
    HWND CheckBox3 = nullptr;  // lower case
};
