// The program mode window: composes the key code of a sequence item from up
// to six steps (an item, Tab or Enter) and hands it to the registration
// window's key code field. Modeless; created once and hidden when closed.
#pragma once

#include "dialogs/main_window_access.h"
#include "dialogs/sequence_composer.h"
#include "ui/window.h"

class TForm2;

class TForm6 : public ui::Window {
public:
    TForm6(MainWindowAccess& mainWindow, TForm2& registrationWindow)
        : mainWindow_(mainWindow), registrationWindow_(registrationWindow) {}
    bool create(HWND owner);

    // The registration window's program sequence template. Coming from hidden
    // the item chooser lists the titles of the group on display again and the
    // composition starts over.
    void showForComposition();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ComboBox1Change(int chosenEntry);
    void Button1Click();  // [TAB]
    void Button2Click();  // [Enter]
    void Button3Click();  // 確定
    void Button4Click();  // キャンセル
    void Button5Click();  // クリア
    void showSequence();

    MainWindowAccess& mainWindow_;
    TForm2& registrationWindow_;
    SequenceComposer composer_;

    HWND ComboBox1 = nullptr;  // item chooser
    HWND Edit1 = nullptr;      // sequence
};
