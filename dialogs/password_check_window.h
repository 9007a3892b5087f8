// The password check window: asked before the masked key code display is
// uncovered; modeless, shown any number of times.
#pragma once

#include <functional>

#include "dialogs/password_entry_window.h"
#include "storage/settings_record.h"

class TForm8 : public PasswordEntryWindow {
public:
    TForm8(const storage::SettingsRecord& settings, std::function<void()> uncoverKeyCode)
        : settings_(settings), uncoverKeyCode_(std::move(uncoverKeyCode)) {}
    bool create(HWND owner) { return PasswordEntryWindow::create(owner, L"TForm8"); }
    void showCheck() { showAndFocus(); }

private:
    void Button1Click() override;
    void Button2Click() override;

    const storage::SettingsRecord& settings_;
    std::function<void()> uncoverKeyCode_;
};
