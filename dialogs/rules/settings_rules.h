// The settings window's behaviour apart from its controls: what its controls
// show, how opening fills them from the settings record, and what each
// control writes back when it changes. The window only mirrors this state on
// screen and reports the user's changes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/rules/password_rules.h"
#include "storage/line_file.h"
#include "storage/settings_record.h"

namespace settings_rules {

inline constexpr int kGroupCount = 3;
inline constexpr int kHotkeyCount = 4;
inline constexpr int kLowestLevel = 0;
inline constexpr int kHighestLevel = 3;
// A hotkey list with no selection.
inline constexpr int kNoSelection = -1;

// The states of the window's controls. They are kept between openings:
// opening changes only what its fill steps touch.
struct SettingsControls {
    std::array<bool, kGroupCount> singleClickGroups{};
    bool stayOnTop = true;
    int transparencyLevel = 2;
    bool passwordAtStart = false;
    // The items of the four hotkey lists, the same in each, and their selections.
    storage::Lines hotkeyItems;
    std::array<int, kHotkeyCount> hotkeySelections{kNoSelection, kNoSelection, kNoSelection,
                                                   kNoSelection};
};

// What the settings need from around the window.
class Surroundings {
public:
    virtual ~Surroundings() = default;
    // The main window's opacity, 0 to 255.
    virtual void setOpacity(int alpha) = 0;
    // Group 1's titles, or nothing when group 1 has no title file.
    virtual std::optional<storage::Lines> group1Titles() = 0;
    // The questions for switching the start-up password off.
    virtual password_rules::Conversation& conversation() = 0;
    // Whether the stored files are encrypted with a key from the password,
    // which then must be asked at every start.
    virtual bool filesNeedPassword() = 0;
};

inline constexpr std::string_view kNeededForEncryption =
    "保存ファイルをパスワードで暗号化しているため、\r\n"
    "起動毎のパスワードは解除できません。\r\n"
    "先に「セキュリティ設定」で暗号化をやめてください。";
inline constexpr std::string_view kNeededForLock =
    "自動ロックを使っているため、\r\n"
    "起動毎のパスワードは解除できません。\r\n"
    "先に「セキュリティ設定」で自動ロックをやめてください。";

// Line 10: one character per group, "1" for single-click mode on, "2" for off.
std::string singleClickLine(const std::array<bool, kGroupCount>& ticked);

// Line 13 from the four selections. A list with no selection (or one whose
// index does not fit in a two-digit slot) keeps its slot of `previousLine`, so
// every slot stays two characters and no assignment is lost.
std::string hotkeySlotsLine(const std::array<int, kHotkeyCount>& selections,
                            const std::string& previousLine);

class SettingsForm {
public:
    SettingsForm(storage::SettingsRecord& settings, Surroundings& surroundings)
        : settings_(settings), surroundings_(surroundings) {}

    const SettingsControls& controls() const { return controls_; }

    // Opening: the controls follow the record, each change running its
    // control's handler. Throws storage::ConversionError when line 11 or a
    // slot of line 13 is no number; the steps before it stay done.
    void fill();

    // The handlers, run for every change of their control's state.
    void singleClickGroupChanged(int groupIndex, bool ticked);  // 0 for group 1
    void stayOnTopChanged(bool ticked);
    void sliderMoved(int position);
    void passwordAtStartChanged(bool ticked);

    // OK: line 13 from the lists' selections. Saving and closing are the
    // window's.
    void confirmHotkeys(const std::array<int, kHotkeyCount>& selections);
    // Lets go of the titles of the hotkey lists until the next fill().
    void forgetHotkeyItems();

private:
    void selectHotkeysFromSlots();

    storage::SettingsRecord& settings_;
    Surroundings& surroundings_;
    SettingsControls controls_;
};

}  // namespace settings_rules
