// The start-up password and the password change of the main window.
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "dialogs/input_box_conversation.h"
#include "dialogs/rules/password_rules.h"
#include "platform/wipe.h"
#include "ui/messages.h"

using namespace main_window;

namespace {
// A password as typed, wiped however the scope that asked for it ends.
struct EnteredPassword {
    std::optional<std::string> text;
    ~EnteredPassword() {
        if (text) platform::wipe(text->data(), text->size());
    }
};
}  // namespace

// Files encrypted with a key from the password: the password is asked before
// anything is read, with the application's window as the owner, as the main
// window is made only once the settings are read. One attempt; a wrong one
// ends the start with nothing read and nothing written.
bool MainWindow::unlockStoredFiles() {
    if (files_.formatOnDisk() != storage::StoredFormat::Strong) return true;
    const EnteredPassword entered{startupPasswordWindow().askPassword()};
    startupPasswordWindow_.reset();
    const bool unlocked = entered.text && files_.unlock(*entered.text);
    if (!unlocked) ui::notice(texts::kWrongAtStart);
    passwordAskedBeforeReading_ = unlocked;
    return unlocked;
}

// Asked once, before the window first appears; one attempt. The window is
// not needed again in this run.
bool MainWindow::passStartupPassword() {
    if (passwordAskedBeforeReading_) return true;
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
    return files_.format() == storage::StoredFormat::Strong;
}

// Rewrites every stored file in the format asked for, as one change, once the
// password is given: the key of the strong format comes from it. The group on
// display goes to disk first, so that what is rewritten is what is shown.
void MainWindow::switchStoredFormat(bool strong) {
    if (!leftoverGroupFiles_.empty()) {
        // The settings may not be written while these are left (storeSettings).
        ui::notice(texts::cannotDelete(leftoverGroupFiles_.front()));
        return;
    }
    InputBoxConversation conversation(hwnd());
    const EnteredPassword entered{conversation.ask("ねむろく認証", "パスワードを入力してください")};
    if (!password_rules::isPassword(settings_, entered.text)) {
        ui::notice(texts::kWrongPassword);
        return;
    }
    try {
        if (!unreadGroupFile_) storeGroupOnDisplay();
        storage::SettingsRecord switched = settings_;
        // Without the password no file of the strong format opens.
        if (strong) switched.setLine(line::kPasswordAtStart, "1");
        const std::vector<platform::Path> leftAlone = files_.switchFormat(
            strong ? storage::StoredFormat::Strong : storage::StoredFormat::Classic, switched,
            *entered.text);
        settings_ = switched;
        for (const platform::Path& path : leftAlone) ui::notice(texts::leftAsItWas(path));
        ui::notice(strong ? texts::kEncryptedWithPassword : texts::kBackToClassic);
    } catch (const std::exception& error) {  // a file, the crypto or the random source
        ui::showError(error);
    }
}
