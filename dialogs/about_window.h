// The about window "バージョン情報": the banner and two links, one to the
// program's folder and one to the support page. Modeless, created once and
// only hidden when closed.
#pragma once

#include <windows.h>

#include "dialogs/main_window_access.h"
#include "ui/window.h"

class TForm4 : public ui::Window {
public:
    explicit TForm4(MainWindowAccess& mainWindow) : mainWindow_(mainWindow) {}

    bool create(HWND owner);
    // "バージョン情報": shows the window, or brings it to the front.
    void showAbout();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Label1Click();
    void Label2Click();
    bool isLink(HWND control) const { return control && (control == Label1 || control == Label2); }

    MainWindowAccess& mainWindow_;
    HBITMAP banner_ = nullptr;
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
};
