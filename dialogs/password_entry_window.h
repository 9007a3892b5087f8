// The layout both password windows share: a prompt, a masked entry, "OK" and
// "キャンセル".
#pragma once

#include <optional>
#include <string>

#include "ui/window.h"

class PasswordEntryWindow : public ui::Window {
public:
    bool create(HWND owner, const wchar_t* className);

protected:
    // The entry as code page 932 bytes; an entry that has no code page 932
    // form cannot be any stored password and comes back as nothing.
    std::optional<std::string> entry() const;
    void clearEntry();
    void showAndFocus();

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void confirm() = 0;
    virtual void cancel() = 0;

    HWND passwordField_ = nullptr;
};
