// The about window "バージョン情報": the banner and two links, one to the
// program's folder and one to the support page. Modeless, created once and
// only hidden when closed.
#pragma once

#include <windows.h>

#include "dialogs/main_window_access.h"
#include "ui/window.h"

class AboutWindow : public ui::Window {
public:
    explicit AboutWindow(MainWindowAccess& mainWindow) : mainWindow_(mainWindow) {}

    bool create(HWND owner);
    // "バージョン情報": shows the window, or brings it to the front.
    void showAbout();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void fitToDpi();
    void openProgramFolder();
    void openSupportPage();
    bool isLink(HWND control) const {
        return control && (control == folderLink_ || control == supportLink_);
    }

    MainWindowAccess& mainWindow_;
    HBITMAP banner_ = nullptr;
    HWND folderLink_ = nullptr;
    HWND supportLink_ = nullptr;
};
