// The security settings window "セキュリティ設定": whether the stored files
// are encrypted with a key from the start-up password. Modeless, created once
// and only hidden when closed. What OK does with a changed box is the main
// window's: it owns the files and the password.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "ui/window.h"

class SecurityWindow : public ui::Window {
public:
    // Whether the stored files are in the strong format now.
    using StrongFormat = std::function<bool()>;
    // Called on OK when the box differs from the format of the files.
    using Apply = std::function<void(bool encryptWithPassword)>;
    SecurityWindow(StrongFormat strongFormat, Apply apply)
        : strongFormat_(std::move(strongFormat)), apply_(std::move(apply)) {}

    bool create(HWND owner);
    // "セキュリティ設定": shows the window, or brings it forward, with the
    // box showing the format the files are in.
    void showSecurity();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void confirm();
    void showFormat();

    StrongFormat strongFormat_;
    Apply apply_;
    HWND encryptBox_ = nullptr;
};
