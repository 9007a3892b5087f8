// The start-up password window: asked once, modally, when the main window is
// first shown.
#pragma once

#include <optional>
#include <string>

#include "dialogs/password_entry_window.h"

class TForm7 : public PasswordEntryWindow {
public:
    bool create(HWND owner) { return PasswordEntryWindow::create(owner, L"TForm7"); }
    // The entered password, empty after Cancel or closing by the title bar;
    // nothing when the entry has no code page 932 form and so can match no
    // stored password.
    std::optional<std::string> askPassword();

private:
    void Button1Click() override;
    void Button2Click() override;

    std::optional<std::string> enteredPassword_;
};
