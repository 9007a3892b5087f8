#include "dialogs/password_check_window.h"

#include "dialogs/password_rules.h"
#include "ui/messages.h"
#include "ui/text.h"

void PasswordCheckWindow::confirm() {
    if (password_rules::isPassword(settings_, entry())) {
        uncoverKeyCode_();
    } else {
        ui::notice(ui::fromUtf8(password_rules::kWrongInCheckWindow));
    }
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}

void PasswordCheckWindow::cancel() {
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}
