// A desktop that records every effect as a readable line, so that tests can
// assert the exact order of what delivery does, and the main window state that
// delivery reads and changes. Nothing reaches the real desktop.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "paste/delivery.h"
#include "platform/desktop.h"
#include "storage/settings_record.h"

namespace test_support {

class RecordingDesktop : public platform::Desktop {
public:
    std::vector<std::string> effects;
    // What each Ctrl+V pasted: the clipboard at that moment.
    std::vector<std::string> pasted;
    std::string clipboard = "user's text";
    platform::WindowHandle foreground = 0;
    platform::LocalTime now{2005, 1, 1, 9, 5, 0, 6};
    std::optional<platform::EraYear> systemEra;
    bool clipboardHeldByAnotherProgram = false;

    platform::WindowHandle foregroundWindow() override { return foreground; }
    void bringToForeground(platform::WindowHandle window) override {
        foreground = window;
        record("foreground " + std::to_string(window));
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
    void record(std::string effect) { effects.push_back(std::move(effect)); }
    void openClipboard() {
        if (clipboardHeldByAnotherProgram) throw platform::ClipboardError();
    }
};

class FakeMainWindow : public paste::MainWindowState {
public:
    static constexpr platform::WindowHandle kOwnWindow = 7;
    storage::ItemLists lists;
    storage::SettingsRecord settingsRecord = storage::SettingsRecord::builtInDefaults();
    int current = 0;
    bool newline = false;
    std::string display = "(untouched)";

    storage::ItemLists& itemLists() override { return lists; }
    const storage::SettingsRecord& settings() override { return settingsRecord; }
    int currentItem() const override { return current; }
    platform::WindowHandle ownWindow() override { return kOwnWindow; }
    bool newlineToggleOn() override { return newline; }
    void showKeyCode(const std::string& keyCode) override { display = keyCode; }
};

}  // namespace test_support
