#include "dialogs/password_check_window.h"

#include "dialogs/texts.h"
#include "dialogs/rules/password_rules.h"
#include "ui/messages.h"

void PasswordCheckWindow::confirm() {
    if (password_rules::isPassword(settings_, entry())) {
        uncoverKeyCode_();
    } else {
        ui::notice(dialog_texts::kWrongInCheckWindow);
    }
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}

void PasswordCheckWindow::cancel() {
    clearEntry();
    ShowWindow(hwnd(), SW_HIDE);
}
