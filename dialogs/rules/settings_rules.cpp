#include "dialogs/rules/settings_rules.h"

#include <algorithm>
#include <utility>

#include "dialogs/rules/lock_options.h"
#include "storage/integer_text.h"

namespace settings_rules {

namespace line = storage::settings_line;

namespace {

constexpr std::size_t kSlotLength = 2;
constexpr int kHighestSlotIndex = 99;

std::string slotText(int index) {
    return (index < 10 ? "0" : "") + std::to_string(index);
}

// Slot k (0 for Ctrl+1) of a line 13; empty when the line is too short.
std::string slotOf(const std::string& slots, int k) {
    const std::size_t start = static_cast<std::size_t>(k) * kSlotLength;
    return start < slots.size() ? slots.substr(start, kSlotLength) : std::string();
}

}  // namespace

std::string singleClickLine(const std::array<bool, kGroupCount>& ticked) {
    std::string characters;
    for (bool on : ticked) characters += on ? '1' : '2';
    return characters;
}

std::string hotkeySlotsLine(const std::array<int, kHotkeyCount>& selections,
                            const std::string& previousLine) {
    std::string slots;
    for (int k = 0; k < kHotkeyCount; ++k) {
        const int selected = selections[static_cast<std::size_t>(k)];
        if (selected >= 0 && selected <= kHighestSlotIndex) {
            slots += slotText(selected);
            continue;
        }
        std::string previous = slotOf(previousLine, k);
        // A line cut short by hand has no slot to keep; the default one keeps
        // the line readable.
        slots +=
            previous.size() == kSlotLength ? previous : slotOf(storage::kDefaultHotkeySlots, k);
    }
    return slots;
}

void SettingsForm::fill() {
    const int level = std::clamp(storage::toInteger(settings_.line(line::kTransparencyLevel)),
                                 kLowestLevel, kHighestLevel);
    if (level != controls_.transparencyLevel) sliderMoved(level);

    const bool stayOnTop = settings_.isOn(line::kStayOnTop);
    if (stayOnTop != controls_.stayOnTop) stayOnTopChanged(stayOnTop);

    // Read once: the handlers rewrite line 10 while the boxes are ticked.
    const std::string singleClick = settings_.line(line::kSingleClick);
    for (int group = 0; group < kGroupCount; ++group) {
        const auto index = static_cast<std::size_t>(group);
        if (index < singleClick.size() && singleClick[index] == '1' &&
            !controls_.singleClickGroups[index]) {
            singleClickGroupChanged(group, true);
        }
    }

    if (settings_.isOn(line::kPasswordAtStart) && !controls_.passwordAtStart) {
        passwordAtStartChanged(true);
    }

    if (std::optional<storage::Lines> titles = surroundings_.group1Titles()) {
        controls_.hotkeyItems = std::move(*titles);
        // New items leave every list without a selection.
        controls_.hotkeySelections.fill(kNoSelection);
    }
    if (settings_.line(line::kHotkeySlots).empty()) {
        settings_.setLine(line::kHotkeySlots, storage::kDefaultHotkeySlots);
    }
    selectHotkeysFromSlots();
}

void SettingsForm::forgetHotkeyItems() {
    controls_.hotkeyItems = {};
    controls_.hotkeySelections.fill(kNoSelection);
}

void SettingsForm::selectHotkeysFromSlots() {
    const std::string slots = settings_.line(line::kHotkeySlots);
    const int itemCount = static_cast<int>(controls_.hotkeyItems.size());
    for (int k = 0; k < kHotkeyCount; ++k) {
        const int index = storage::toInteger(slotOf(slots, k));
        controls_.hotkeySelections[static_cast<std::size_t>(k)] =
            index >= 0 && index < itemCount ? index : kNoSelection;
    }
}

void SettingsForm::singleClickGroupChanged(int groupIndex, bool ticked) {
    controls_.singleClickGroups[static_cast<std::size_t>(groupIndex)] = ticked;
    settings_.setLine(line::kSingleClick, singleClickLine(controls_.singleClickGroups));
}

void SettingsForm::stayOnTopChanged(bool ticked) {
    controls_.stayOnTop = ticked;
    settings_.setLine(line::kStayOnTop, ticked ? "1" : "0");
}

void SettingsForm::sliderMoved(int position) {
    controls_.transparencyLevel = position;
    surroundings_.setOpacity(storage::opacityFromSlider(position));
    settings_.setLine(line::kTransparencyLevel, std::to_string(position));
}

void SettingsForm::passwordAtStartChanged(bool ticked) {
    controls_.passwordAtStart = ticked;
    if (!ticked) {
        // The files could not be opened without the password, nor a lock be
        // undone by anyone but its owner.
        std::string_view why;
        if (surroundings_.filesNeedPassword()) {
            why = kNeededForEncryption;
        } else if (lock_options::lockOnScreenLock(settings_) ||
                   lock_options::lockWhenIdle(settings_)) {
            why = kNeededForLock;
        }
        if (!why.empty()) {
            surroundings_.conversation().tell(why);
            passwordAtStartChanged(true);
            return;
        }
    }
    if (!password_rules::confirmAskingAtStart(settings_, ticked, surroundings_.conversation())) {
        // Ticking the box again is a change like any other and writes "1".
        passwordAtStartChanged(true);
    }
}

void SettingsForm::confirmHotkeys(const std::array<int, kHotkeyCount>& selections) {
    controls_.hotkeySelections = selections;
    settings_.setLine(line::kHotkeySlots,
                      hotkeySlotsLine(selections, settings_.line(line::kHotkeySlots)));
}

}  // namespace settings_rules
