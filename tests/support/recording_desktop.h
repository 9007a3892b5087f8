// A desktop that records every effect as a readable line, so that tests can
// assert the exact order of what delivery does, and the main window state that
// delivery reads and changes. Nothing reaches the real desktop.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "paste/delivery.h"
#include "platform/desktop.h"
#include "storage/settings_record.h"

namespace test_support {

// The program's main window and its edit window.
inline constexpr platform::WindowHandle kMainWindow = 7;
inline constexpr platform::WindowHandle kEditWindow = 8;

class RecordingDesktop : public platform::Desktop {
public:
    std::vector<std::string> effects;
    // What each Ctrl+V pasted: the clipboard at that moment.
    std::vector<std::string> pasted;
    std::string clipboard = "user's text";
    platform::WindowHandle foreground = 0;
    std::set<platform::WindowHandle> closedWindows;
    platform::LocalTime now{2005, 1, 1, 9, 5, 0, 6};
    std::optional<platform::EraYear> systemEra;
    bool clipboardHeldByAnotherProgram = false;
    // What runLater was given, in order, until runDueActions() runs them.
    std::vector<std::function<void()>> dueLater;
    // Called with each effect once it is recorded: what the world does in
    // answer (a window that closes on Enter, a program that takes the clipboard).
    std::function<void(const std::string& effect)> answer;

    platform::WindowHandle foregroundWindow() override { return foreground; }
    bool isOwnWindow(platform::WindowHandle window) override {
        return window == kMainWindow || window == kEditWindow;
    }
    bool bringToForeground(platform::WindowHandle window) override {
        record("foreground " + std::to_string(window));
        if (closedWindows.count(window)) return false;
        foreground = window;
        return true;
    }
    void setActiveWindow(platform::WindowHandle window) override {
        record("set active " + std::to_string(window));
    }
    void pressPaste() override {
        pasted.push_back(clipboard);
        for (const char* key : {"ctrl down", "v down", "v up", "ctrl up"}) record(key);
    }
    void pressKey(platform::Key key) override {
        record(key == platform::Key::Enter ? "enter" : "tab");
    }
    void sleep(int milliseconds) override { record("sleep " + std::to_string(milliseconds)); }
    void runLater(int milliseconds, std::function<void()> action) override {
        record("later " + std::to_string(milliseconds));
        dueLater.push_back(std::move(action));
    }
    void runDueActions() {
        for (auto& action : std::exchange(dueLater, {})) action();
    }
    void putOnClipboard(const std::string& text) override {
        openClipboard();
        clipboard = text;
        record("clipboard " + text);
    }
    void clearClipboard() override {
        openClipboard();
        clipboard.clear();
        record("clear clipboard");
    }
    void runCommandLine(const std::string& commandLine) override { record("run " + commandLine); }
    void openDocument(platform::WindowHandle owner, const std::string& name) override {
        record("open " + name + " owner " + std::to_string(owner));
    }
    platform::LocalTime localTime() override { return now; }
    std::optional<platform::EraYear> japaneseEra(const platform::LocalTime&) override {
        return systemEra;
    }

private:
    void record(const std::string& effect) {
        effects.push_back(effect);
        if (answer) answer(effect);
    }
    void openClipboard() {
        if (clipboardHeldByAnotherProgram) throw platform::ClipboardError();
    }
};

class FakeMainWindow : public paste::MainWindowState {
public:
    static constexpr platform::WindowHandle kOwnWindow = kMainWindow;
    storage::ItemLists lists;
    storage::SettingsRecord settingsRecord = storage::SettingsRecord::builtInDefaults();
    int current = 0;
    bool newline = false;
    std::string display = "(untouched)";

    storage::ItemLists& itemLists() override { return lists; }
    const storage::SettingsRecord& settings() override { return settingsRecord; }
    int currentItem() const override { return current; }
    void makeCurrent(int item) override { current = item; }
    platform::WindowHandle ownWindow() override { return kOwnWindow; }
    bool newlineToggleOn() override { return newline; }
    void showKeyCode(const std::string& keyCode) override { display = keyCode; }
};

}  // namespace test_support
