// Start-up and shutdown of the main window: loading the settings and group 1,
// applying the settings, the first showing and storing everything at the end.
#include <algorithm>
#include <utility>

#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "storage/errors.h"
#include "storage/integer_text.h"
#include "ui/messages.h"

using namespace main_window;

namespace {
// The designed pause between the last file written and the icon removed.
constexpr DWORD kPauseBeforeIconRemoval = 50;
}  // namespace

// Loads the settings, if there is a settings file, before the window is made.
// Throws what stops the start: a settings file that exists but cannot be read
// must never leave the program running on the built-in password in front of
// the user's groups.
bool MainWindow::loadSettings() {
    if (!files_.settingsExist()) return false;
    files_.loadSettings(settings_);
    stayOnTop_ = settings_.isOn(line::kStayOnTop);
    return true;
}

// Applies the settings to the window and loads group 1.
void MainWindow::initialise(bool settingsFileFound) {
    if (settingsFileFound) {
        applySettings();
    } else {
        ui::notice(texts::kMissingSettings);
        leftoverGroupFiles_ = files_.deleteAllGroups();
        for (const platform::Path& path : leftoverGroupFiles_)
            ui::notice(texts::cannotDelete(path));
    }
    readGroup(1);
    showItemLists();
    registerHotkeys();
    highlightFirstItem();
    phase_ = run_states::Phase::locked;
}

// The backups of group 1 as it was read at start: written once the window has
// been shown, or at the end of a run that has not written them yet.
void MainWindow::storeBackups() {
    if (unreadGroupFile_) return;  // the backups keep the last group 1 that was read
    try {
        files_.writeBackups(lists_);
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}

// A start that stopped halfway ends the program and writes nothing: what it
// holds is not what the files hold.
void MainWindow::abandonStart(const std::exception& error) {
    ui::showError(error);
    phase_ = run_states::Phase::starting;  // the start did not complete
    DestroyWindow(hwnd());
}

void MainWindow::applySettings() {
    applyGeometry();
    applyTransparency();
    newlineToggle_.setOn(settings_.isOn(line::kNewline));
}

// The stored geometry is in pixels at 96 DPI, so that it means the same on
// every screen and files of any earlier run load unchanged.
void MainWindow::applyGeometry() {
    const int left = settingAsNumber(line::kLeft, kDesignedLeft);
    const int top = settingAsNumber(line::kTop, kDesignedTop);
    const int width = std::clamp(settingAsNumber(line::kWidth, kDesignedWidth), 0, kMaximumWidth);
    const int height =
        std::clamp(settingAsNumber(line::kHeight, kDesignedHeight), 0, kMaximumHeight);
    SetWindowPos(hwnd(), nullptr, scaled(left), scaled(top), scaled(width), scaled(height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::applyTransparency() {
    if (!settings_.isOn(line::kTransparency)) {
        setTransparency(false);
        return;
    }
    int level = 0;
    const std::string& levelText = settings_.line(line::kTransparencyLevel);
    if (storage::tryToInteger(levelText, level)) {
        opacity_ = static_cast<BYTE>(storage::opacityAtStart(level));
    } else {
        ui::showError(storage::ConversionError(levelText));
    }
    setTransparency(true);
}

// A stored number that is no number keeps the window's designed value; the
// start goes on after the usual conversion message.
int MainWindow::settingAsNumber(std::size_t index, int designedValue) {
    int value = 0;
    const std::string& text = settings_.line(index);
    if (storage::tryToInteger(text, value)) return value;
    ui::showError(storage::ConversionError(text));
    return designedValue;
}

void MainWindow::readGroup(int group) {
    unreadGroupFile_.reset();
    if (const auto leftover = leftoverOfGroup(group)) {
        lists_ = {};
        unreadGroupFile_ = *leftover;
        return;
    }
    if (!files_.groupExists(group)) {
        lists_ = storage::defaultItemLists();
        return;
    }
    try {
        lists_ = files_.readGroup(group);
    } catch (const storage::FileError& error) {
        lists_ = {};
        unreadGroupFile_ = error.path();
        ui::showError(error);
    }
}

bool MainWindow::showFirstTime() {
    try {
        authenticateAndShow();
    } catch (const std::exception& error) {
        abandonStart(error);
    }
    if (!hwnd()) return false;
    phase_ = run_states::Phase::running;
    unlockedAt_ = GetTickCount();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    UpdateWindow(hwnd());
    PostMessageW(hwnd(), kFinishStartMessage, 0, 0);
    return true;
}

void MainWindow::authenticateAndShow() {
    if (!passStartupPassword()) {
        DestroyWindow(hwnd());
        return;
    }
    ShowWindow(applicationWindow_, SW_HIDE);
}

// The shutdown sequence: note the window's place and the toggles in the
// settings, then write and encrypt the group on display and the settings.
// After a lock everything was stored then, and nothing is held to store again.
void MainWindow::shutDown() {
    if (phase_ == run_states::Phase::closing) return;
    const auto closedFrom = std::exchange(phase_, run_states::Phase::closing);
    // Whatever the program put on the clipboard would outlive it there.
    delivery_.clearClipboardAtEnd();
    if (closedFrom != run_states::Phase::starting && !secretsDropped_) {
        if (backupsPending_) storeBackups();
        backupsPending_ = false;
        storeOnExit();
    }
    Sleep(kPauseBeforeIconRemoval);
    removeTrayIcon();
}

void MainWindow::storeOnExit() {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    if (rect.bottom - rect.top == scaled(kCompactHeight)) {
        int fullHeight = kDesignedHeight;
        storage::tryToInteger(settings_.line(line::kHeight), fullHeight);
        SetWindowPos(hwnd(), nullptr, 0, 0, rect.right - rect.left,
                     scaled(std::clamp(fullHeight, 0, kMaximumHeight)),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(hwnd(), &rect);
    }
    const ui::Dpi& dpi = this->dpi();
    settings_.setLine(line::kLeft, std::to_string(dpi.unscale(rect.left)));
    settings_.setLine(line::kTop, std::to_string(dpi.unscale(rect.top)));
    settings_.setLine(line::kWidth, std::to_string(dpi.unscale(rect.right - rect.left)));
    settings_.setLine(line::kHeight, std::to_string(dpi.unscale(rect.bottom - rect.top)));
    settings_.setLine(line::kTransparency, transparencyToggle_.isOn() ? "1" : "0");
    settings_.setLine(line::kNewline, newlineToggle_.isOn() ? "1" : "0");

    try {
        storeGroupOnDisplay();
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
    // A group file left undeleted has just been named, and keeps the settings
    // from being written as well.
    if (leftoverOfGroup(groupOnDisplay())) return;
    try {
        storeSettings();
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}

// The settings file is not written while group files of an earlier
// installation are left: the next start must find no settings and clear them.
void MainWindow::storeSettings() {
    if (secretsDropped_) return;  // what is held is not the settings
    if (!leftoverGroupFiles_.empty()) {
        ui::notice(texts::cannotDelete(leftoverGroupFiles_.front()));
        return;
    }
    files_.saveSettings(settings_);
}

std::optional<platform::Path> MainWindow::leftoverOfGroup(int group) const {
    const std::vector<platform::Path> groupFiles = files_.groupFiles(group);
    for (const platform::Path& path : leftoverGroupFiles_) {
        if (std::find(groupFiles.begin(), groupFiles.end(), path) != groupFiles.end()) return path;
    }
    return std::nullopt;
}
