#include "storage/settings_record.h"

#include <climits>

#include "storage/errors.h"
#include "storage/integer_text.h"
#include "test_support.h"

namespace {

using storage::Lines;
using storage::SettingsRecord;

Lines fileOf(std::size_t count) {
    Lines lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back("v" + std::to_string(i));
    }
    return lines;
}

TEST(SettingsRecord, BuiltInDefaultsAreFourteenLines) {
    const Lines expected = {"", "", "", "", "1", "1", "", "", "1", "mulberry", "1", "2", "", ""};
    EXPECT_EQ(SettingsRecord::builtInDefaults().lines(), expected);
}

TEST(SettingsRecord, AFourteenLineFileLoadsAsFifteenLines) {
    Lines file = fileOf(14);
    file[13] = "05060708";
    SettingsRecord record;
    record.replaceWithLoaded(file);
    ASSERT_EQ(record.lines().size(), 15u);
    EXPECT_EQ(record.line(14), "");
    EXPECT_EQ(record.line(13), "05060708");
    EXPECT_EQ(record.line(12), "v12");
}

TEST(SettingsRecord, LoadingFillsAnEmptyHotkeyLineAndPutsGroupOneOnDisplay) {
    Lines file = fileOf(15);
    file[8] = "3";
    file[13] = "";
    SettingsRecord record;
    record.replaceWithLoaded(file);
    EXPECT_EQ(record.line(13), "00010203");
    EXPECT_EQ(record.line(8), "1");
    EXPECT_EQ(record.lines().size(), 15u);
}

TEST(SettingsRecord, ALongFileKeepsAllItsLines) {
    SettingsRecord record;
    record.replaceWithLoaded(fileOf(20));
    EXPECT_EQ(record.lines().size(), 20u);
    EXPECT_EQ(record.line(19), "v19");
}

TEST(SettingsRecord, AShortFileIsPaddedSixLinesAtMostAndItsMissingLinesReadEmpty) {
    SettingsRecord record;
    record.replaceWithLoaded(fileOf(2));
    EXPECT_EQ(record.line(0), "v0");
    EXPECT_EQ(record.line(5), "");
    EXPECT_EQ(record.line(8), "1");
    EXPECT_EQ(record.line(13), "00010203");
    EXPECT_LT(record.lines().size(), 15u);
    EXPECT_EQ(record.line(14), "");
}

TEST(SettingsRecord, ReadsMissingLinesAsEmptyAndPadsWritesBeyondTheEnd) {
    SettingsRecord record = SettingsRecord::builtInDefaults();
    EXPECT_EQ(record.line(14), "");
    EXPECT_EQ(record.line(1000), "");
    record.setLine(20, "x");
    EXPECT_EQ(record.line(20), "x");
    EXPECT_EQ(record.line(17), "");
    EXPECT_EQ(record.line(9), "mulberry");
}

TEST(SettingsRecord, CountsALineAsOnOnlyWhenItIsExactlyOne) {
    SettingsRecord record;
    record.replaceWithLoaded({"1", " 1", "01", "", "1 "});
    EXPECT_TRUE(record.isOn(0));
    EXPECT_FALSE(record.isOn(1));
    EXPECT_FALSE(record.isOn(2));
    EXPECT_FALSE(record.isOn(3));
    EXPECT_FALSE(record.isOn(4));
    EXPECT_FALSE(record.isOn(40));
}

TEST(Opacity, UsesSeventyAtStartAndSixtyOnTheSlider) {
    const int atStart[] = {45, 115, 185, 255};
    const int fromSlider[] = {45, 105, 165, 225};
    for (int level = 0; level <= 3; ++level) {
        EXPECT_EQ(storage::opacityAtStart(level), atStart[level]) << level;
        EXPECT_EQ(storage::opacityFromSlider(level), fromSlider[level]) << level;
    }
}

TEST(Opacity, WrapsInEightBitsForLevelsOutsideTheSlider) {
    EXPECT_EQ(storage::opacityAtStart(4), 69);     // 325 - 256
    EXPECT_EQ(storage::opacityFromSlider(4), 29);  // 285 - 256
    EXPECT_EQ(storage::opacityAtStart(-1), 231);   // -25 + 256
    EXPECT_EQ(storage::opacityAtStart(INT_MAX), 231);
    EXPECT_EQ(storage::opacityAtStart(INT_MIN), 45);
    EXPECT_EQ(storage::opacityFromSlider(INT_MAX), 241);
}

TEST(ToInteger, AcceptsASignedDecimalWithinThirtyTwoBits) {
    EXPECT_EQ(storage::toInteger("0"), 0);
    EXPECT_EQ(storage::toInteger("+5"), 5);
    EXPECT_EQ(storage::toInteger("-0"), 0);
    EXPECT_EQ(storage::toInteger("007"), 7);
    EXPECT_EQ(storage::toInteger("2147483647"), INT_MAX);
    EXPECT_EQ(storage::toInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(storage::toInteger("00000000000000000000012"), 12);
}

TEST(ToInteger, RejectsEverythingElseWithTheOffendingText) {
    for (const std::string text :
         {"", "+", "-", " 1", "1 ", "1a", "a1", "--1", "+-1", "1.0", "0x10", "2147483648",
          "-2147483649", "99999999999999999999", "\xef\xbc\x91"}) {
        try {
            storage::toInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const storage::ConversionError& error) {
            EXPECT_EQ(error.text(), text);
        }
        int value = 42;
        EXPECT_FALSE(storage::tryToInteger(text, value)) << text;
        EXPECT_EQ(value, 42) << text;
    }
}

}  // namespace
