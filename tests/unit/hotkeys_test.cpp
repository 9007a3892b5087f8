#include "paste/hotkeys.h"

#include <gtest/gtest.h>

#include "storage/errors.h"

namespace {

namespace line = storage::settings_line;

storage::SettingsRecord withSlots(const std::string& slots) {
    auto settings = storage::SettingsRecord::builtInDefaults();
    settings.setLine(line::kHotkeySlots, slots);
    return settings;
}

TEST(Hotkeys, DeliverOnlyWithGroupOneOnDisplayAndTheProgramUnlocked) {
    auto settings = storage::SettingsRecord::builtInDefaults();
    EXPECT_TRUE(paste::hotkeysDeliver(settings, true));
    EXPECT_FALSE(paste::hotkeysDeliver(settings, false));
    settings.setLine(line::kGroupOnDisplay, "2");
    EXPECT_FALSE(paste::hotkeysDeliver(settings, true));
    settings.setLine(line::kGroupOnDisplay, "");
    EXPECT_FALSE(paste::hotkeysDeliver(settings, true));
}

TEST(Hotkeys, EachSlotIsTwoDigitsOfLineThirteen) {
    const auto settings = withSlots("00011229");
    EXPECT_EQ(paste::hotkeySlotItem(settings, 1), 0);
    EXPECT_EQ(paste::hotkeySlotItem(settings, 2), 1);
    EXPECT_EQ(paste::hotkeySlotItem(settings, 3), 12);
    EXPECT_EQ(paste::hotkeySlotItem(settings, 4), 29);
}

TEST(Hotkeys, ASlotThatIsNoNumberFailsTheConversion) {
    EXPECT_THROW(paste::hotkeySlotItem(withSlots("0001x203"), 3), storage::ConversionError);
    EXPECT_THROW(paste::hotkeySlotItem(withSlots("000102"), 4), storage::ConversionError);
    // The built-in record's line 13 is empty until the settings window fills it.
    EXPECT_THROW(paste::hotkeySlotItem(storage::SettingsRecord::builtInDefaults(), 1),
                 storage::ConversionError);
    // A line cut short leaves a one-character slot, which still converts.
    EXPECT_EQ(paste::hotkeySlotItem(withSlots("00010"), 3), 0);
}

}  // namespace
