// The start-up password window: asked once, modally, when the main window is
// first shown.
#pragma once

#include <optional>
#include <string>

#include "dialogs/password_entry_window.h"

class StartupPasswordWindow : public PasswordEntryWindow {
public:
    bool create(HWND owner) {
        return PasswordEntryWindow::create(owner, L"NemurokuStartupPasswordWindow");
    }
    // The entered password, empty after Cancel or closing by the title bar;
    // nothing when the entry has no code page 932 form and so can match no
    // stored password.
    std::optional<std::string> askPassword();

private:
    void confirm() override;
    void cancel() override;

    std::optional<std::string> enteredPassword_;
};
