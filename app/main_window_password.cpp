// The start-up password and the password change of the main window.
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "dialogs/input_box_conversation.h"
#include "dialogs/rules/password_rules.h"
#include "ui/messages.h"

using namespace main_window;

// Asked once, before the window first appears; one attempt. The window is
// not needed again in this run.
bool MainWindow::passStartupPassword() {
    if (!password_rules::askedAtStart(settings_)) return true;
    askingPassword_ = true;
    const auto entered = startupPasswordWindow().askPassword();
    startupPasswordWindow_.reset();
    askingPassword_ = false;
    if (password_rules::isPassword(settings_, entered)) return true;
    ui::notice(texts::kWrongAtStart);
    return false;
}

// "パスワードの変更": in memory until the settings are next saved.
void MainWindow::changePassword() {
    InputBoxConversation conversation(hwnd());
    password_rules::changePassword(settings_, conversation);
}

// "セキュリティ設定"
void MainWindow::openSecurity() {
    securityWindow().showSecurity();
}

bool MainWindow::strongFormat() const {
    return false;
}

void MainWindow::switchStoredFormat(bool) {}
