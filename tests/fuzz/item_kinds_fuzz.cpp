// Item kinds, counters, date and time formatting, sequence steps and hotkey
// slots on any title and key code.
#include <cstdint>

#include "fuzz_fields.h"
#include "paste/counter.h"
#include "paste/date_time.h"
#include "paste/hotkeys.h"
#include "paste/item_kind.h"
#include "paste/sequence.h"
#include "storage/errors.h"
#include "storage/integer_text.h"

namespace {

void checkCounter(const std::string& title, const std::string& keyCode) {
    paste::Counter counter;
    try {
        counter = paste::readCounter(title, keyCode);
    } catch (const storage::ConversionError&) {
        return;
    }
    const auto sum =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(counter.value) + counter.step);
    const std::string advanced = paste::advancedKeyCode(counter);
    fuzz::check(advanced == std::to_string(static_cast<std::int32_t>(sum)),
                "the counter does not wrap at 32 bits");
    fuzz::check(paste::readCounter(title, advanced).value == static_cast<std::int32_t>(sum),
                "an advanced counter does not read back");
}

// Any date the system clock can give: its years are 16-bit.
platform::LocalTime anyClockTime(fuzz::Fields& fields) {
    platform::LocalTime now;
    now.year = fields.number(1601, 30827);
    now.month = fields.number(1, 12);
    now.day = fields.number(1, 31);
    now.hour = fields.number(0, 23);
    now.minute = fields.number(0, 59);
    now.second = fields.number(0, 59);
    now.dayOfWeek = fields.number(0, 6);
    return now;
}

void checkDateAndTime(fuzz::Fields& fields) {
    const platform::LocalTime now = anyClockTime(fields);
    std::optional<platform::EraYear> systemEra;
    if (fields.flag()) systemEra = platform::EraYear{fields.text(), fields.text()};
    using paste::ItemKind;
    fuzz::check(paste::formatDateOrTime(ItemKind::TimeColon, now, systemEra).size() == 5,
                "HH:MM is not five characters");
    fuzz::check(paste::formatDateOrTime(ItemKind::Time, now, systemEra).size() == 8,
                "the time is not eight bytes");
    fuzz::check(paste::formatDateOrTime(ItemKind::DateHyphen, now, systemEra).size() ==
                    (now.year < 10000 ? 10u : 11u),
                "YYYY-MM-DD of the wrong length");
    fuzz::check(!paste::formatDateOrTime(ItemKind::DateLong, now, systemEra).empty(),
                "no long date");
    fuzz::check(!paste::formatDateOrTime(ItemKind::DateEra, now, systemEra).empty(), "no era date");
    if (const auto era = paste::eraFromTable(now)) {
        int year = 0;
        fuzz::check(
            storage::tryToInteger(era->yearText, year) && year >= 1 && !era->eraName.empty(),
            "an era year below 1");
    }
}

void checkSequence(const std::string& keyCode) {
    std::string steps;
    for (int k = 1; k <= paste::kSequenceSteps; ++k) {
        const std::string step = paste::sequenceStep(keyCode, k);
        fuzz::check(step.size() <= 2, "a step longer than two bytes");
        fuzz::check((paste::stepKind(step) == paste::StepKind::End) == step.empty(),
                    "the end of the key code is no end step");
        int number = 0;
        if (paste::stepKind(step) == paste::StepKind::Item && storage::tryToInteger(step, number))
            paste::stepPutsKeyCode(step, number);
        steps += step;
    }
    fuzz::check(steps == keyCode.substr(0, 2 * paste::kSequenceSteps),
                "the steps are not the key code's first twelve bytes");

    storage::SettingsRecord settings = storage::SettingsRecord::builtInDefaults();
    settings.setLine(storage::settings_line::kHotkeySlots, keyCode);
    for (int slot = 1; slot <= 4; ++slot) {
        try {
            const int item = paste::hotkeySlotItem(settings, slot);
            fuzz::check(item >= -9 && item <= 99, "a slot of two characters beyond two digits");
        } catch (const storage::ConversionError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string title = fields.text();
    const std::string keyCode = fields.text();
    const paste::ItemKind kind = paste::classify(title);
    fuzz::check((kind == paste::ItemKind::Plain) ==
                    (title.rfind("----", 0) != 0 && title.rfind('@', 0) != 0),
                "a plain title taken for a macro or the other way round");
    if (kind == paste::ItemKind::Counter) checkCounter(title, keyCode);
    fields.text();  // an item count once: the seeds keep their meaning
    checkSequence(keyCode);
    checkDateAndTime(fields);
    return 0;
}
