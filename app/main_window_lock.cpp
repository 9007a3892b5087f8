// Locking and unlocking: what the lock stores and drops, the password that
// brings the window back, and what locks by itself (the screen lock, sleep,
// idle time).
#include <windows.h>
#include <wtsapi32.h>

#include <cwchar>
#include <string>

#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "dialogs/rules/lock_options.h"
#include "dialogs/rules/password_rules.h"
#include "platform/lazy_function.h"
#include "storage/errors.h"
#include "ui/messages.h"

using namespace main_window;

namespace {

// Wine and Windows keep an edit control's text in a buffer that shrinking
// text does not free: the text is overwritten before it is cleared.
void overwriteAndClear(HWND edit) {
    const int length = GetWindowTextLengthW(edit);
    if (length > 0)
        SetWindowTextW(edit, std::wstring(static_cast<std::size_t>(length), L' ').c_str());
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SetWindowTextW(edit, L"");
}

bool hasClass(HWND window, const wchar_t* prefix) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    return std::wcsncmp(name, prefix, std::wcslen(prefix)) == 0;
}

BOOL CALLBACK clearIfEdit(HWND child, LPARAM) {
    if (hasClass(child, L"Edit")) overwriteAndClear(child);
    return TRUE;
}

struct KeptWindows {
    HWND main;
    HWND application;
};

// Every window of this program but the two that stay: the secondary windows
// and those they opened.
BOOL CALLBACK hideAndClear(HWND window, LPARAM kept) {
    const auto& windows = *reinterpret_cast<const KeptWindows*>(kept);
    if (window == windows.main || window == windows.application) return TRUE;
    if (!hasClass(window, L"Nemuroku")) return TRUE;
    EnumChildWindows(window, clearIfEdit, 0);
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

}  // namespace

// In this order: the delivery that runs finishes (with its clipboard clear),
// the secondary windows go, everything is stored as at the exit and the
// clipboard cleared of the program's text, the secrets are wiped, the window
// hides.
void MainWindow::lock() {
    if (deliveriesRunning_ > 0) {
        lockPending_ = true;
        return;
    }
    lockPending_ = false;
    if (!running()) return;
    phase_ = run_states::Phase::locked;
    KillTimer(hwnd(), kIdleTimer);
    hideSecondaryWindows();
    lockedView_ = {groupOnDisplay(), displayColour_};
    if (backupsPending_) storeBackups();
    backupsPending_ = false;
    // The exit's store gives a compact window its full height to note it.
    RECT shown{};
    GetWindowRect(hwnd(), &shown);
    storeOnExit();
    SetWindowPos(hwnd(), nullptr, 0, 0, shown.right - shown.left, shown.bottom - shown.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    delivery_.clearClipboardAtEnd();
    dropSecrets();
    ShowWindow(hwnd(), SW_HIDE);
}

void MainWindow::hideSecondaryWindows() {
    KeptWindows kept{hwnd(), applicationWindow_};
    EnumThreadWindows(GetCurrentThreadId(), hideAndClear, reinterpret_cast<LPARAM>(&kept));
    if (settingsWindow_) settingsWindow_->forgetTitles();
}

// What the lists and the settings held is wiped as it is freed; the display
// and the list let go of what they showed.
void MainWindow::dropSecrets() {
    secretsDropped_ = true;
    lists_ = {};
    settings_ = storage::SettingsRecord{};
    files_.forgetKey();
    unreadGroupFile_.reset();
    SendMessageW(titleList_, LB_RESETCONTENT, 0, 0);
    overwriteAndClear(keyCodeDisplay_);
}

// While the password window is open (also at the first start) a request
// only brings it forward.
void MainWindow::unlock() {
    if (askingPassword_ || !secretsDropped_) {
        if (startupPasswordWindow_) SetForegroundWindow(startupPasswordWindow_->hwnd());
        return;
    }
    askingPassword_ = true;
    const auto entered = startupPasswordWindow().askPassword();
    startupPasswordWindow_.reset();
    askingPassword_ = false;
    // The program may have been ended from the icon's menu meanwhile.
    if (phase_ != run_states::Phase::locked || !readAgainForUnlock(entered)) return;
    phase_ = run_states::Phase::running;
    unlockedAt_ = GetTickCount();
    setDisplayColour(lockedView_.displayColour);
    showItemLists();
    highlightFirstItem();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    startIdleTimer();
}

// The password is checked against the stored settings: nothing of them is
// held while locked. Files of the strong format open only once the data key
// unwraps with it.
bool MainWindow::readAgainForUnlock(const std::optional<std::string>& entered) {
    if (files_.format() == storage::StoredFormat::Strong && !(entered && files_.unlock(*entered))) {
        ui::notice(texts::kWrongPassword);
        return false;
    }
    storage::SettingsRecord stored;
    try {
        files_.loadSettings(stored);
    } catch (const storage::FileError& error) {
        ui::showError(error);
        return false;
    }
    if (!password_rules::isPassword(stored, entered)) {
        ui::notice(texts::kWrongPassword);
        return false;
    }
    settings_ = std::move(stored);
    settings_.setLine(line::kGroupOnDisplay, std::to_string(lockedView_.group));
    secretsDropped_ = false;
    readGroup(lockedView_.group);
    return true;
}

bool MainWindow::lockTriggerOn(UINT message, WPARAM wParam) const {
    if (!lock_options::lockOnScreenLock(settings_)) return false;
    if (message == WM_WTSSESSION_CHANGE)
        return wParam == WTS_SESSION_LOCK || wParam == WTS_CONSOLE_DISCONNECT ||
               wParam == WTS_REMOTE_DISCONNECT;
    return message == WM_POWERBROADCAST && wParam == PBT_APMSUSPEND;
}

void MainWindow::watchSession() {
    static const auto watch = platform::lazyFunction<decltype(WTSRegisterSessionNotification)>(
        L"wtsapi32.dll", "WTSRegisterSessionNotification");
    if (watch) watch(hwnd(), NOTIFY_FOR_THIS_SESSION);
}

void MainWindow::stopWatchingSession() {
    static const auto stop = platform::lazyFunction<decltype(WTSUnRegisterSessionNotification)>(
        L"wtsapi32.dll", "WTSUnRegisterSessionNotification");
    if (stop) stop(hwnd());
}

void MainWindow::startIdleTimer() {
    checkIdleTime();
}

// The system's idle time, from the last input to any program or the unlock,
// whichever came later. Looked at again
// when it would be due, at most every 30 s and at once after a resume: tick
// counts go on through sleep, so sleep counts as idle time.
void MainWindow::checkIdleTime() {
    KillTimer(hwnd(), kIdleTimer);
    if (!running() || !lock_options::lockWhenIdle(settings_)) return;
    LASTINPUTINFO input{};
    input.cbSize = sizeof(input);
    if (!GetLastInputInfo(&input)) input.dwTime = GetTickCount();
    const std::uint32_t since = lock_options::idleSince(input.dwTime, unlockedAt_);
    const std::uint32_t wait =
        lock_options::untilIdleLock(GetTickCount() - since, lock_options::idleMinutes(settings_));
    if (wait == 0) {
        lock();
        return;
    }
    SetTimer(hwnd(), kIdleTimer, wait, nullptr);
}

bool MainWindow::applyLockOptions(const lock_options::Options& chosen) {
    switch (lock_options::store(settings_, chosen)) {
        case lock_options::Refusal::needsPasswordAtStart:
            ui::notice(texts::kLockNeedsPassword);
            return false;
        case lock_options::Refusal::minutesOutOfRange:
            ui::notice(texts::kIdleMinutesRange);
            return false;
        case lock_options::Refusal::none:
            break;
    }
    try {
        storeSettings();
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
    checkIdleTime();
    return true;
}
