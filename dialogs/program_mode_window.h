// The program mode window: composes the key code of a sequence item from up
// to six steps (an item, Tab or Enter) and hands it to the registration
// window's key code field. Modeless; created once and hidden when closed.
#pragma once

#include "dialogs/main_window_access.h"
#include "dialogs/rules/sequence_composer.h"
#include "ui/window.h"

class RegistrationWindow;

class ProgramModeWindow : public ui::Window {
public:
    ProgramModeWindow(MainWindowAccess& mainWindow, RegistrationWindow& registrationWindow)
        : mainWindow_(mainWindow), registrationWindow_(registrationWindow) {}
    bool create(HWND owner);

    // The registration window's program sequence template. Coming from hidden
    // the item chooser lists the titles of the group on display again and the
    // composition starts over.
    void showForComposition();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void addItemStep(int chosenEntry);
    void addTabStep();     // [TAB]
    void addEnterStep();   // [Enter]
    void confirm();        // 確定
    void cancel();         // キャンセル
    void clearSequence();  // クリア
    void showSequence();

    MainWindowAccess& mainWindow_;
    RegistrationWindow& registrationWindow_;
    SequenceComposer composer_;

    HWND itemChooser_ = nullptr;
    HWND sequenceField_ = nullptr;
};
