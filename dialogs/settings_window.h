// The settings window "詳細設定": modeless, created once and only hidden when
// closed. Its controls mirror settings_rules::SettingsForm, which writes each
// change into the settings record at once.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "dialogs/input_box_conversation.h"
#include "dialogs/main_window_access.h"
#include "dialogs/rules/settings_rules.h"
#include "ui/window.h"

class SettingsWindow : public ui::Window, private settings_rules::Surroundings {
public:
    explicit SettingsWindow(MainWindowAccess& mainWindow);

    bool create(HWND owner);
    // "詳細設定": shows the window (or brings it forward) and fills it from the
    // settings record. Throws storage::ConversionError when line 11 or line 13
    // holds no number; the window then stays as far as it was filled. While the
    // start-up password question is open it only comes forward, unfilled.
    void showSettings();
    // At a lock: the hotkey lists let go of the titles of group 1.
    void forgetTitles() {
        form_.forgetHotkeyItems();
        showHotkeyLists();
    }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool handleCommand(int id, int notification);

    void fitToDpi();
    void toggleSingleClickGroup(int groupIndex);
    void toggleStayOnTop();
    void onSliderMoved();
    void togglePasswordAtStart();
    void confirmAndSave();

    void showTicksAndSlider();
    void showHotkeyLists();
    std::array<int, settings_rules::kHotkeyCount> hotkeySelections() const;

    // settings_rules::Surroundings
    void setOpacity(int alpha) override;
    std::optional<storage::Lines> group1Titles() override;
    password_rules::Conversation& conversation() override;
    bool filesNeedPassword() override;

    MainWindowAccess& mainWindow_;
    settings_rules::SettingsForm form_;
    std::optional<InputBoxConversation> conversation_;
    // While the start-up password question of the box below is open.
    bool questionOpen_ = false;

    std::array<HWND, settings_rules::kGroupCount> singleClickBoxes_{};
    HWND stayOnTopBox_ = nullptr;
    HWND opacitySlider_ = nullptr;
    HWND passwordAtStartBox_ = nullptr;
    std::array<HWND, settings_rules::kHotkeyCount> hotkeyLists_{};
};
