// The security settings window "セキュリティ設定": whether the stored files
// are encrypted with a key from the start-up password. Modeless, created once
// and only hidden when closed. What OK does with a changed box is the main
// window's: it owns the files and the password.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "dialogs/rules/lock_options.h"
#include "ui/window.h"

class SecurityWindow : public ui::Window {
public:
    // Whether the stored files are in the strong format now.
    using StrongFormat = std::function<bool()>;
    // Called on OK when the box differs from the format of the files.
    using Apply = std::function<void(bool encryptWithPassword)>;
    SecurityWindow(StrongFormat strongFormat, Apply apply)
        : strongFormat_(std::move(strongFormat)), apply_(std::move(apply)) {}

    // What the lock options show, and what takes them on OK: false when it
    // refused them, which keeps the window open.
    using ReadLockOptions = std::function<lock_options::Options()>;
    using ApplyLockOptions = std::function<bool(const lock_options::Options&)>;
    void handleLockOptions(ReadLockOptions read, ApplyLockOptions apply) {
        readLockOptions_ = std::move(read);
        applyLockOptions_ = std::move(apply);
    }

    bool create(HWND owner);
    // "セキュリティ設定": shows the window, or brings it forward, with the
    // box showing the format the files are in.
    void showSecurity();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void confirm();
    void showFormat();
    void showLockOptions();
    lock_options::Options chosenLockOptions() const;

    StrongFormat strongFormat_;
    Apply apply_;
    ReadLockOptions readLockOptions_;
    ApplyLockOptions applyLockOptions_;
    HWND encryptBox_ = nullptr;
    HWND screenLockBox_ = nullptr;
    HWND idleLockBox_ = nullptr;
    HWND idleMinutesField_ = nullptr;
};
