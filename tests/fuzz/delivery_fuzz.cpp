// Delivery's click and double click on any lists (of equal length or not),
// any settings lines 8, 10 and 13, any current item and target: keys go only
// to the target just brought forward, each paste is followed by clearing the
// clipboard (or by a clear due later while another program holds it), and only
// the current item's key code may change.
#include "tests/support/recording_desktop.h"
#include "fuzz_fields.h"
#include "paste/delivery.h"
#include "storage/errors.h"

namespace {

namespace line = storage::settings_line;

void checkPastes(const std::vector<std::string>& effects, const std::string& target,
                 bool completed) {
    for (std::size_t i = 0; i < effects.size(); ++i) {
        if (effects[i] != "ctrl down" && effects[i] != "tab" && effects[i] != "enter") continue;
        fuzz::check(i > 0 && effects[i - 1] == "foreground " + target,
                    "a key went to a window other than the target");
        if (effects[i] != "ctrl down") continue;
        // A clipboard held by another program is cleared later instead.
        fuzz::check(
            !completed || (i + 5 < effects.size() && effects[i + 4] == "sleep 800" &&
                           (effects[i + 5] == "clear clipboard" || effects[i + 5] == "later 500")),
            "the clipboard was not cleared after a paste");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    test_support::FakeMainWindow window;
    window.lists = {fields.lines(), fields.lines()};
    window.settingsRecord.setLine(line::kGroupOnDisplay, fields.text());
    window.settingsRecord.setLine(line::kSingleClick, fields.text());
    window.settingsRecord.setLine(line::kHotkeySlots, fields.text());
    window.current = fields.number(-2, 40);
    window.newline = fields.flag();
    test_support::RecordingDesktop desktop;
    desktop.clipboardHeldByAnotherProgram = fields.number(0, 15) == 0;
    desktop.foreground = fields.number(-3, 60);
    paste::Delivery delivery(window, desktop);
    if (fields.flag()) delivery.recordTarget();
    const bool doubleClick = fields.flag();

    const storage::ItemLists before = window.lists;
    bool completed = true;
    try {
        delivery.click();
        if (doubleClick) delivery.doubleClick();
    } catch (const storage::ConversionError&) {
        completed = false;
    } catch (const platform::ClipboardError&) {
        completed = false;
    }
    checkPastes(desktop.effects, delivery.targetField(), completed);
    fuzz::check(window.lists.titles == before.titles, "a title changed");
    fuzz::check(window.lists.keyCodes.size() == before.keyCodes.size(), "a key code came or went");
    for (std::size_t i = 0; i < before.keyCodes.size(); ++i)
        fuzz::check(
            window.lists.keyCodes[i] == before.keyCodes[i] || static_cast<int>(i) == window.current,
            "the key code of another item changed");
    return 0;
}
