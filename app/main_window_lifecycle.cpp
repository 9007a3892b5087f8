// Start-up and shutdown of the main window: loading the settings and group 1,
// applying the settings, the first showing and storing everything at the end.
#include <algorithm>

#include "app/main_window.h"
#include "app/main_window_design.h"
#include "storage/errors.h"
#include "ui/messages.h"

using namespace main_window;

std::wstring main_window::refusalText(const platform::Path& unreadFile) {
    return L"ファイル " + unreadFile.wstring() + L" は読み込めなかったため、上書きしませんでした。";
}

// Loads the settings and group 1 and applies the settings to the window.
void MainWindow::initialise() {
    const bool settingsFileFound = files_.settingsExist();
    if (!settingsFileFound) {
        ui::notice(L"設定ファイルがみつかりません\r\nパスワード漏洩防止の為データをクリアします");
        files_.deleteAllGroups();
    }
    if (!files_.groupExists(1)) lists_ = storage::defaultItemLists();
    if (settingsFileFound) {
        try {
            files_.loadSettings(settings_);
            applySettings();
        } catch (const storage::FileError& error) {
            unreadSettingsFile_ = error.path();
            ui::showError(error);
        }
    }
    if (files_.groupExists(1)) loadGroup1();
    showItemLists();
    registerHotkeys();
    highlightFirstItem();
}

// The backups of group 1 as it was read at start: written once the window has
// been shown, or at the end of a run that never showed it.
void MainWindow::storeBackups() {
    if (backupsStored_) return;
    backupsStored_ = true;
    if (unreadGroupFile_) return;  // the backups keep the last group 1 that was read
    try {
        files_.writeBackups(lists_);
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}

void MainWindow::applySettings() {
    applyGeometry();
    stayOnTop_ = settings_.isOn(line::kStayOnTop);
    applyTransparency();
    newlineToggle_.setOn(settings_.isOn(line::kNewline));
}

void MainWindow::applyGeometry() {
    const int left = settingAsNumber(line::kLeft, kDesignedLeft);
    const int top = settingAsNumber(line::kTop, kDesignedTop);
    const int width = std::clamp(settingAsNumber(line::kWidth, kDesignedWidth), 0, kMaximumWidth);
    const int height =
        std::clamp(settingAsNumber(line::kHeight, kDesignedHeight), 0, kMaximumHeight);
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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

void MainWindow::loadGroup1() {
    try {
        lists_ = files_.readGroup(1);
    } catch (const storage::FileError& error) {
        lists_ = {};
        unreadGroupFile_ = error.path();
        ui::showError(error);
    }
}

void MainWindow::showFirstTime() {
    authenticateAndShow();
    if (!IsWindow(hwnd())) return;
    shownOnce_ = true;
    ShowWindow(hwnd(), SW_SHOW);
    // Set once the window is shown: Wine does not take the order of a hidden window.
    SetWindowPos(hwnd(), stayOnTop_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd());
    UpdateWindow(hwnd());
    PostMessageW(hwnd(), kFinishStartMessage, 0, 0);
}

void MainWindow::authenticateAndShow() {
    if (!passStartupPassword()) {
        DestroyWindow(hwnd());
        return;
    }
    unlocked_ = true;
    ShowWindow(applicationWindow_, SW_HIDE);
}

// The shutdown sequence: note the window's place and the toggles in the
// settings, then write and encrypt the group on display and the settings.
void MainWindow::shutDown() {
    if (shutDownDone_) return;
    shutDownDone_ = true;
    storeBackups();
    storeOnExit();
    Sleep(50);
    removeTrayIcon();
}

void MainWindow::storeOnExit() {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    if (rect.bottom - rect.top == kCompactHeight) {
        int fullHeight = kDesignedHeight;
        storage::tryToInteger(settings_.line(line::kHeight), fullHeight);
        SetWindowPos(hwnd(), nullptr, 0, 0, rect.right - rect.left,
                     std::clamp(fullHeight, 0, kMaximumHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(hwnd(), &rect);
    }
    settings_.setLine(line::kLeft, std::to_string(rect.left));
    settings_.setLine(line::kTop, std::to_string(rect.top));
    settings_.setLine(line::kWidth, std::to_string(rect.right - rect.left));
    settings_.setLine(line::kHeight, std::to_string(rect.bottom - rect.top));
    settings_.setLine(line::kTransparency, transparencyToggle_.isOn() ? "1" : "0");
    settings_.setLine(line::kNewline, newlineToggle_.isOn() ? "1" : "0");

    try {
        storeGroupOnDisplay();
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
    if (unreadSettingsFile_) {
        ui::notice(refusalText(*unreadSettingsFile_));
        return;
    }
    try {
        files_.saveSettings(settings_);
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}
