#include "dialogs/security_window.h"

#include "dialogs/texts.h"

namespace {

constexpr int kClientWidth = 280;
constexpr int kClientHeight = 97;

enum ControlId : int { kEncryptionFrame = 100, kEncryptBox };

// In the style of the settings window: a frame per subject, OK at the bottom
// left.
constexpr ui::ControlLayout kControls[] = {
    {kEncryptionFrame, L"BUTTON", L"保存ファイルの暗号化", 8, 4, 264, 46, WS_VISIBLE | BS_GROUPBOX},
    {kEncryptBox, L"BUTTON", L"保存ファイルをパスワードで暗号化する", 20, 22, 248, 16,
     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {IDOK, L"BUTTON", L"OK", 8, 62, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

}  // namespace

bool SecurityWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuSecurityWindow", dialog_texts::kSecurityCaption, kClientWidth,
                       kClientHeight, owner}))
        return false;
    createControls(kControls);
    encryptBox_ = control(kEncryptBox);
    behaveAsDialog(IDOK);
    return true;
}

void SecurityWindow::showSecurity() {
    showFormat();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

void SecurityWindow::showFormat() {
    SendMessageW(encryptBox_, BM_SETCHECK, strongFormat_() ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A changed box is applied; the window closes, and shows next time what the
// files are in, whatever came of it.
void SecurityWindow::confirm() {
    const bool ticked = SendMessageW(encryptBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ShowWindow(hwnd(), SW_HIDE);
    if (ticked != strongFormat_()) apply_(ticked);
    showFormat();
}

LRESULT SecurityWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDOK:
                confirm();
                return 0;
            case IDCANCEL:
                // Esc closes like the close box: nothing is applied.
                ShowWindow(hwnd(), SW_HIDE);
                return 0;
        }
    }
    return defaultHandling(message, wParam, lParam);
}
