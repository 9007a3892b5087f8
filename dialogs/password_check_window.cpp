#include "dialogs/password_check_window.h"

#include "dialogs/rules/password_rules.h"
#include "ui/messages.h"
#include "platform/code_page_932.h"

void PasswordCheckWindow::confirm() {
    if (password_rules::isPassword(settings_, entry())) {
        uncoverKeyCode_();
    } else {
        ui::notice(platform::fromUtf8(password_rules::kWrongInCheckWindow));
    }
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}

void PasswordCheckWindow::cancel() {
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}
