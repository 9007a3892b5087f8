#include "dialogs/password_entry_window.h"

#include "dialogs/texts.h"
#include "ui/controls.h"
#include "platform/code_page_932.h"

namespace {
constexpr int kClientWidth = 268;
constexpr int kClientHeight = 99;
constexpr int kPrompt = 100;
constexpr int kPasswordField = 101;

constexpr ui::ControlLayout kControls[] = {
    {kPrompt, L"STATIC", L"起動パスワードを入力してください", 10, 10, 249, 14, WS_VISIBLE},
    {kPasswordField, L"EDIT", L"", 10, 30, 249, 21,
     WS_VISIBLE | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {IDOK, L"BUTTON", L"OK", 104, 64, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDCANCEL, L"BUTTON", L"キャンセル", 184, 64, 75, 25, WS_VISIBLE | WS_TABSTOP},
};
}  // namespace

bool PasswordEntryWindow::create(HWND owner, const wchar_t* className) {
    if (!createDialog(
            {className, dialog_texts::kPasswordCaption, kClientWidth, kClientHeight, owner}))
        return false;
    createControls(kControls);
    passwordField_ = control(kPasswordField);
    SendMessageW(passwordField_, EM_SETPASSWORDCHAR, L'*', 0);
    behaveAsDialog(IDOK);
    return true;
}

std::optional<std::string> PasswordEntryWindow::entry() const {
    return platform::toCp932(ui::windowText(passwordField_));
}

void PasswordEntryWindow::clearEntry() {
    SetWindowTextW(passwordField_, L"");
}

void PasswordEntryWindow::showAndFocus() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(passwordField_);
}

LRESULT PasswordEntryWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            if (LOWORD(wParam) == IDOK) {
                confirm();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                cancel();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}
