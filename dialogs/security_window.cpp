#include "dialogs/security_window.h"

#include "dialogs/texts.h"
#include "platform/code_page_932.h"

namespace {

constexpr int kClientWidth = 280;
constexpr int kClientHeight = 169;

enum ControlId : int {
    kEncryptionFrame = 100,
    kEncryptBox,
    kLockFrame,
    kScreenLockBox,
    kIdleLockBox,
    kIdleMinutesField,
    kMinutesLabel,
};

// In the style of the settings window: a frame per subject, OK at the bottom
// left.
constexpr ui::ControlLayout kControls[] = {
    {kEncryptionFrame, L"BUTTON", L"保存ファイルの暗号化", 8, 4, 264, 46, WS_VISIBLE | BS_GROUPBOX},
    {kEncryptBox, L"BUTTON", L"保存ファイルをパスワードで暗号化する", 20, 22, 248, 16,
     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kLockFrame, L"BUTTON", L"自動ロック", 8, 56, 264, 70, WS_VISIBLE | BS_GROUPBOX},
    {kScreenLockBox, L"BUTTON", L"画面のロック・スリープでロックする", 20, 74, 248, 16,
     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kIdleLockBox, L"BUTTON", L"操作がないときロックする", 20, 98, 168, 16,
     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kIdleMinutesField, L"EDIT", L"", 190, 96, 40, 20,
     WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE},
    {kMinutesLabel, L"STATIC", L"分", 236, 99, 24, 14, WS_VISIBLE},
    {IDOK, L"BUTTON", L"OK", 8, 136, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

}  // namespace

bool SecurityWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuSecurityWindow", dialog_texts::kSecurityCaption, kClientWidth,
                       kClientHeight, owner}))
        return false;
    createControls(kControls);
    encryptBox_ = control(kEncryptBox);
    screenLockBox_ = control(kScreenLockBox);
    idleLockBox_ = control(kIdleLockBox);
    idleMinutesField_ = control(kIdleMinutesField);
    SendMessageW(idleMinutesField_, EM_LIMITTEXT, 3, 0);
    behaveAsDialog(IDOK);
    return true;
}

void SecurityWindow::showSecurity() {
    showFormat();
    showLockOptions();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

void SecurityWindow::showFormat() {
    SendMessageW(encryptBox_, BM_SETCHECK, strongFormat_() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SecurityWindow::showLockOptions() {
    if (!readLockOptions_) return;
    const lock_options::Options shown = readLockOptions_();
    SendMessageW(screenLockBox_, BM_SETCHECK, shown.onScreenLock ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(idleLockBox_, BM_SETCHECK, shown.whenIdle ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextW(idleMinutesField_, platform::fromCp932(shown.minutes).c_str());
}

lock_options::Options SecurityWindow::chosenLockOptions() const {
    wchar_t minutes[8] = {};
    GetWindowTextW(idleMinutesField_, minutes, ARRAYSIZE(minutes));
    return {SendMessageW(screenLockBox_, BM_GETCHECK, 0, 0) == BST_CHECKED,
            SendMessageW(idleLockBox_, BM_GETCHECK, 0, 0) == BST_CHECKED,
            platform::toCp932(minutes).value_or("")};
}

// The lock options are taken first: refused, they keep the window open. A
// changed box is applied; the window closes, and shows next time what the
// files are in, whatever came of it.
void SecurityWindow::confirm() {
    if (applyLockOptions_ && !applyLockOptions_(chosenLockOptions())) return;
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
