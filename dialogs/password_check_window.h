// The password check window: asked before the masked key code display is
// uncovered; modeless, shown any number of times.
#pragma once

#include <functional>

#include "dialogs/password_entry_window.h"
#include "storage/settings_record.h"

class PasswordCheckWindow : public PasswordEntryWindow {
public:
    PasswordCheckWindow(const storage::SettingsRecord& settings,
                        std::function<void()> uncoverKeyCode)
        : settings_(settings), uncoverKeyCode_(std::move(uncoverKeyCode)) {}
    bool create(HWND owner) {
        return PasswordEntryWindow::create(owner, L"NemurokuPasswordCheckWindow");
    }
    void showCheck() { showAndFocus(); }

private:
    void confirm() override;
    void cancel() override;

    const storage::SettingsRecord& settings_;
    std::function<void()> uncoverKeyCode_;
};
