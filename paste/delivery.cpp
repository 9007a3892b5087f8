#include "paste/delivery.h"

#include <algorithm>
#include <optional>

#include "paste/counter.h"
#include "paste/date_time.h"
#include "paste/hotkeys.h"
#include "paste/item_kind.h"
#include "paste/sequence.h"
#include "storage/integer_text.h"

namespace paste {

namespace {

namespace line = storage::settings_line;

// Slow programs read the clipboard some time after the Ctrl+V.
constexpr int kClipboardReadTime = 800;
// The target handles the keys of the step before (a Tab that moves its focus
// to the next field) before the item's paste arrives; 100 ms as designed.
constexpr int kPauseBeforeItemStep = 100;

int itemCount(const storage::ItemLists& lists) {
    return static_cast<int>(std::min(lists.titles.size(), lists.keyCodes.size()));
}

bool isItem(const storage::ItemLists& lists, int index) {
    return index >= 0 && index < itemCount(lists);
}

}  // namespace

Delivery::Delivery(MainWindowState& window, platform::Desktop& desktop)
    : window_(window), desktop_(desktop), clipboard_(desktop) {}

// A window of this program in front (the edit or the registration window)
// must never receive another item's key code, which registering would then
// store as visible text. No foreground window at all is a passing state while
// the activation changes hands; it must not replace a real target either.
void Delivery::recordTarget() {
    const platform::WindowHandle foreground = desktop_.foregroundWindow();
    ownHandleField_ = std::to_string(window_.ownWindow());
    if (foreground != 0 && !desktop_.isOwnWindow(foreground))
        targetField_ = std::to_string(foreground);
    if (targetField_.empty()) targetField_ = ownHandleField_;
}

// The click mode of the group on display is its character of settings line
// 10; a line too short to have one counts as single-click mode.
bool Delivery::singleClickModeOn() {
    const storage::SettingsRecord& settings = window_.settings();
    const int group = storage::toInteger(settings.line(line::kGroupOnDisplay));
    const std::string& modes = settings.line(line::kSingleClick);
    if (group < 1 || static_cast<std::size_t>(group) > modes.size()) return true;
    return modes[group - 1] != '2';
}

platform::WindowHandle Delivery::target() {
    return storage::toInteger(targetField_);
}

// By index, because opening a document may run a message loop in which the
// lists change.
void Delivery::setKeyCode(int index, const std::string& keyCode) {
    storage::ItemLists& lists = window_.itemLists();
    if (isItem(lists, index)) lists.keyCodes[index] = keyCode;
}

void Delivery::click() {
    const int index = window_.currentItem();
    if (!isItem(window_.itemLists(), index)) return;
    const bool singleClick = singleClickModeOn();
    const platform::WindowHandle targetWindow = target();
    const std::string title = window_.itemLists().titles[index];
    std::string keyCode = window_.itemLists().keyCodes[index];
    const ItemKind kind = classify(title);

    if (kind == ItemKind::Separator) {
        window_.showKeyCode("");
        return;
    }
    MacroAction action;
    if (kind == ItemKind::Plain) {
        desktop_.clearClipboard();
    } else {
        if (isDateOrTime(kind)) {
            const platform::LocalTime now = desktop_.localTime();
            const auto era = kind == ItemKind::DateEra ? desktop_.japaneseEra(now) : std::nullopt;
            keyCode = formatDateOrTime(kind, now, era);
            setKeyCode(index, keyCode);
        }
        if (singleClick) {
            action = actOnMacro(kind, title, keyCode);
            if (action.endedEarly) return;
        }
        desktop_.setActiveWindow(targetWindow);
        desktop_.clearClipboard();
    }

    // A command, an address or a sequence that has acted leaves nothing of
    // its key code on the clipboard.
    const bool acted = singleClick && (kind == ItemKind::Sequence || action.noPaste);
    if (!acted) clipboard_.put(keyCode);
    window_.showKeyCode(keyCode);
    if (!singleClick) {
        clipboard_.clearLater();  // this mode only copies; the double click pastes
        return;
    }
    if (action.counter) setKeyCode(index, advancedKeyCode(*action.counter));
    if (acted) return;
    pasteStep();
    desktop_.setActiveWindow(targetWindow);
    if (window_.newlineToggleOn()) pressIntoTarget(platform::Key::Enter);
}

// In single-click mode the click has delivered already, so a macro's action
// runs a second time here; date and time items were expanded by the click.
void Delivery::doubleClick() {
    const int index = window_.currentItem();
    if (!isItem(window_.itemLists(), index)) return;
    const std::string title = window_.itemLists().titles[index];
    const std::string keyCode = window_.itemLists().keyCodes[index];
    const ItemKind kind = classify(title);

    if (kind == ItemKind::Separator) {
        window_.showKeyCode("");
        return;
    }
    const MacroAction action = actOnMacro(kind, title, keyCode);
    if (action.endedEarly) return;
    if (!singleClickModeOn() && !action.noPaste)
        pasteStep();  // what the click left on the clipboard
    if (action.counter) setKeyCode(index, advancedKeyCode(*action.counter));
    if (!action.noPaste && window_.newlineToggleOn()) pressIntoTarget(platform::Key::Enter);
}

void Delivery::hotkey(int slot, bool unlocked) {
    recordTarget();
    if (!hotkeysDeliver(window_.settings(), unlocked)) return;
    const int item = hotkeySlotItem(window_.settings(), slot);
    if (!isItem(window_.itemLists(), item)) return;
    window_.makeCurrent(item);
    click();
}

// The action of a macro item that replaces or precedes the paste.
Delivery::MacroAction Delivery::actOnMacro(ItemKind kind, const std::string& title,
                                           const std::string& keyCode) {
    MacroAction action;
    switch (kind) {
        case ItemKind::Counter:
            action.counter = readCounter(title, keyCode);
            break;
        case ItemKind::Command:
            desktop_.runCommandLine(keyCode);
            clipboard_.clear();
            action.noPaste = true;
            break;
        case ItemKind::WebAddress:
            desktop_.openDocument(window_.ownWindow(), keyCode);
            clipboard_.clear();
            action.noPaste = true;
            break;
        case ItemKind::Sequence:
            window_.showKeyCode(keyCode);
            action.endedEarly = !playSequence(keyCode);
            break;
        default:
            break;
    }
    return action;
}

// Before every key that goes to the target: a target that was closed, or
// that another window has covered, must not let the keys land elsewhere.
void Delivery::requireTarget() {
    if (desktop_.bringToForeground(target())) return;
    clipboard_.clear();
    throw TargetGone();
}

void Delivery::pressIntoTarget(platform::Key key) {
    requireTarget();
    desktop_.pressKey(key);
}

void Delivery::pasteStep() {
    requireTarget();
    desktop_.pressPaste();
    desktop_.sleep(kClipboardReadTime);
    clipboard_.clear();
}

// Returns false when the playback ended early: at the end of the key code or
// at an item number beyond the last item.
bool Delivery::playSequence(const std::string& keyCode) {
    for (int k = 1; k <= kSequenceSteps; ++k) {
        const std::string step = sequenceStep(keyCode, k);
        switch (stepKind(step)) {
            case StepKind::Tab:
                pressIntoTarget(platform::Key::Tab);
                break;
            case StepKind::Enter:
                pressIntoTarget(platform::Key::Enter);
                break;
            case StepKind::Skip:
                break;
            case StepKind::End:
                return false;
            case StepKind::Item:
                if (!playItemStep(step)) return false;
                break;
        }
    }
    return true;
}

// Pastes the item's key code as stored: sequences never nest, counters do not
// advance and date items paste the date of their last delivery.
bool Delivery::playItemStep(const std::string& step) {
    const int itemNumber = storage::toInteger(step);
    const storage::ItemLists& lists = window_.itemLists();
    if (itemNumber > itemCount(lists) - 1) return false;
    if (stepPutsKeyCode(step, itemNumber)) {
        const std::string keyCode = lists.keyCodes[itemNumber];
        clipboard_.put(keyCode);
    }
    desktop_.sleep(kPauseBeforeItemStep);
    pasteStep();
    return true;
}

}  // namespace paste
