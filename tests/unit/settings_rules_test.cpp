#include "dialogs/rules/settings_rules.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/rules/lock_options.h"
#include "storage/errors.h"

namespace {

namespace line = storage::settings_line;
using settings_rules::kNoSelection;
using settings_rules::SettingsForm;

// Records what the window would do around the rules; answers the password
// question from a script.
class FakeSurroundings : public settings_rules::Surroundings, public password_rules::Conversation {
public:
    void setOpacity(int alpha) override { opacities.push_back(alpha); }
    std::optional<storage::Lines> group1Titles() override { return titles; }
    password_rules::Conversation& conversation() override { return *this; }
    bool filesNeedPassword() override { return strongFormat; }

    std::optional<std::string> ask(std::string_view, std::string_view prompt) override {
        asked.emplace_back(prompt);
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void tell(std::string_view message) override { told.emplace_back(message); }

    std::vector<int> opacities;
    std::optional<storage::Lines> titles;  // nothing: no title file
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;
    std::vector<std::string> told;
    bool strongFormat = false;
};

class SettingsFormTest : public ::testing::Test {
protected:
    storage::SettingsRecord settings = storage::SettingsRecord::builtInDefaults();
    FakeSurroundings surroundings;
    SettingsForm form{settings, surroundings};
};

TEST_F(SettingsFormTest, FirstOpeningWithTheBuiltInRecordLeavesGroups2And3OutOfSingleClickMode) {
    form.fill();

    EXPECT_EQ(settings.line(line::kSingleClick), "122");
    EXPECT_EQ(form.controls().singleClickGroups, (std::array<bool, 3>{true, false, false}));
    EXPECT_TRUE(form.controls().stayOnTop);
    EXPECT_EQ(settings.line(line::kStayOnTop), "1");
    EXPECT_TRUE(form.controls().passwordAtStart);
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_TRUE(surroundings.asked.empty());
    // The slider already stands at line 11's level 2: the opacity is left alone.
    EXPECT_EQ(form.controls().transparencyLevel, 2);
    EXPECT_TRUE(surroundings.opacities.empty());
    EXPECT_EQ(settings.line(line::kHotkeySlots), "00010203");
    EXPECT_TRUE(form.controls().hotkeyItems.empty());
    EXPECT_EQ(form.controls().hotkeySelections,
              (std::array<int, 4>{kNoSelection, kNoSelection, kNoSelection, kNoSelection}));
}

TEST_F(SettingsFormTest, GroupBoxesAreTickedFromLine10ReadOnceAndNeverUnticked) {
    settings.setLine(line::kSingleClick, "211");
    form.fill();
    EXPECT_EQ(settings.line(line::kSingleClick), "211");
    EXPECT_EQ(form.controls().singleClickGroups, (std::array<bool, 3>{false, true, true}));

    // Opening again finds nothing to tick: the boxes and line 10 stay.
    settings.setLine(line::kSingleClick, "222");
    form.fill();
    EXPECT_EQ(settings.line(line::kSingleClick), "222");
    EXPECT_EQ(form.controls().singleClickGroups, (std::array<bool, 3>{false, true, true}));

    // Ticking group 1 rewrites line 10 from all three boxes as they stand.
    settings.setLine(line::kSingleClick, "1");
    form.fill();
    EXPECT_EQ(settings.line(line::kSingleClick), "111");
}

TEST_F(SettingsFormTest, EveryGroupBoxChangeWritesAllThreeCharacters) {
    form.singleClickGroupChanged(1, true);
    EXPECT_EQ(settings.line(line::kSingleClick), "212");
    form.singleClickGroupChanged(0, true);
    form.singleClickGroupChanged(1, false);
    EXPECT_EQ(settings.line(line::kSingleClick), "122");
    EXPECT_EQ(settings_rules::singleClickLine({true, true, true}), "111");
}

TEST_F(SettingsFormTest, SliderFollowsLine11WithinItsRangeAndSetsTheSliderOpacity) {
    settings.setLine(line::kTransparencyLevel, "3");
    form.fill();
    EXPECT_EQ(surroundings.opacities, std::vector<int>{225});
    EXPECT_EQ(settings.line(line::kTransparencyLevel), "3");

    settings.setLine(line::kTransparencyLevel, "-4");
    form.fill();
    EXPECT_EQ(form.controls().transparencyLevel, 0);
    EXPECT_EQ(surroundings.opacities.back(), 45);
    EXPECT_EQ(settings.line(line::kTransparencyLevel), "0");

    form.sliderMoved(1);
    EXPECT_EQ(surroundings.opacities.back(), 105);
    EXPECT_EQ(settings.line(line::kTransparencyLevel), "1");
}

TEST_F(SettingsFormTest, ALevelAboveTheRangePutsTheSliderAt3AndWrites3) {
    settings.setLine(line::kTransparencyLevel, "7");
    form.fill();
    EXPECT_EQ(form.controls().transparencyLevel, 3);
    EXPECT_EQ(settings.line(line::kTransparencyLevel), "3");
    EXPECT_EQ(surroundings.opacities, std::vector<int>{225});
}

TEST_F(SettingsFormTest, ALevelThatIsNoNumberStopsTheOpeningBeforeAnyOtherStep) {
    settings.setLine(line::kTransparencyLevel, "dense");
    try {
        form.fill();
        FAIL() << "no conversion error";
    } catch (const storage::ConversionError& error) {
        EXPECT_EQ(error.text(), "dense");
    }
    EXPECT_EQ(settings.line(line::kSingleClick), "1");
    EXPECT_EQ(settings.line(line::kHotkeySlots), "");
}

TEST_F(SettingsFormTest, StayOnTopBoxFollowsLine4AndWritesOneOrZero) {
    settings.setLine(line::kStayOnTop, "yes");
    form.fill();
    EXPECT_FALSE(form.controls().stayOnTop);
    EXPECT_EQ(settings.line(line::kStayOnTop), "0");
    form.stayOnTopChanged(true);
    EXPECT_EQ(settings.line(line::kStayOnTop), "1");
}

TEST_F(SettingsFormTest, UntickingThePasswordBoxNeedsThePassword) {
    form.fill();

    surroundings.answers = {std::string("wrong")};
    form.passwordAtStartChanged(false);
    EXPECT_EQ(surroundings.told,
              std::vector<std::string>{std::string(password_rules::kNotSwitchedOff)});
    EXPECT_TRUE(form.controls().passwordAtStart);
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");

    surroundings.answers = {std::string("mulberry")};
    form.passwordAtStartChanged(false);
    EXPECT_FALSE(form.controls().passwordAtStart);
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "0");

    form.passwordAtStartChanged(true);
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_EQ(surroundings.asked.size(), 2u);

    // Files encrypted with the password: refused before any question.
    surroundings.strongFormat = true;
    surroundings.told.clear();
    form.passwordAtStartChanged(false);
    EXPECT_EQ(surroundings.told,
              std::vector<std::string>{std::string(settings_rules::kNeededForEncryption)});
    EXPECT_TRUE(form.controls().passwordAtStart);
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_EQ(surroundings.asked.size(), 2u);

    // A lock that locks by itself: refused the same way.
    surroundings.strongFormat = false;
    surroundings.told.clear();
    ASSERT_EQ(lock_options::store(settings, {false, true, "5"}), lock_options::Refusal::none);
    form.passwordAtStartChanged(false);
    EXPECT_EQ(surroundings.told,
              std::vector<std::string>{std::string(settings_rules::kNeededForLock)});
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_EQ(surroundings.asked.size(), 2u);
}

TEST_F(SettingsFormTest, HotkeyListsSelectTheSlotsThatGroup1Has) {
    surroundings.titles = storage::Lines{"mail", "bank"};
    settings.setLine(line::kHotkeySlots, "00010203");
    form.fill();
    EXPECT_EQ(form.controls().hotkeyItems, (storage::Lines{"mail", "bank"}));
    EXPECT_EQ(form.controls().hotkeySelections,
              (std::array<int, 4>{0, 1, kNoSelection, kNoSelection}));

    // Without a title file the lists keep their items.
    surroundings.titles.reset();
    settings.setLine(line::kHotkeySlots, "01000100");
    form.fill();
    EXPECT_EQ(form.controls().hotkeyItems, (storage::Lines{"mail", "bank"}));
    EXPECT_EQ(form.controls().hotkeySelections, (std::array<int, 4>{1, 0, 1, 0}));
}

TEST_F(SettingsFormTest, ASlotThatIsNoNumberStopsTheSelectionThere) {
    surroundings.titles = storage::Lines{"a", "b", "c", "d"};
    for (const char* slots : {"03xx0102", "0302"}) {
        SCOPED_TRACE(slots);
        settings.setLine(line::kHotkeySlots, slots);
        EXPECT_THROW(form.fill(), storage::ConversionError);
        EXPECT_EQ(form.controls().hotkeySelections[0], 3);
        EXPECT_EQ(form.controls().hotkeySelections[2], kNoSelection);
        EXPECT_EQ(settings.line(line::kHotkeySlots), slots);
    }
}

TEST(HotkeySlots, AreTwoDigitsJoinedInHotkeyOrder) {
    EXPECT_EQ(settings_rules::hotkeySlotsLine({3, 12, 3, 3}, "00010203"), "03120303");
    EXPECT_EQ(settings_rules::hotkeySlotsLine({0, 9, 10, 29}, ""), "00091029");
}

TEST(HotkeySlots, AListWithNoSelectionKeepsItsPreviousSlot) {
    EXPECT_EQ(settings_rules::hotkeySlotsLine({5, kNoSelection, kNoSelection, 7}, "00011503"),
              "05011507");
    // An index beyond two digits cannot be stored without shifting the slots.
    EXPECT_EQ(settings_rules::hotkeySlotsLine({100, 1, 2, 3}, "04010203"), "04010203");
    // A line cut short by hand gets the default slots where it has none.
    EXPECT_EQ(settings_rules::hotkeySlotsLine({kNoSelection, 1, kNoSelection, kNoSelection}, "117"),
              "11010203");
}

TEST_F(SettingsFormTest, OkWritesLine13AndTheNextOpeningSelectsTheSameItems) {
    surroundings.titles = storage::Lines(14, "item");
    form.fill();
    form.confirmHotkeys({3, 12, kNoSelection, 3});
    EXPECT_EQ(settings.line(line::kHotkeySlots), "03120203");

    form.fill();
    EXPECT_EQ(form.controls().hotkeySelections, (std::array<int, 4>{3, 12, 2, 3}));

    // A lock lets go of the titles; the next opening reads them again.
    form.forgetHotkeyItems();
    EXPECT_TRUE(form.controls().hotkeyItems.empty());
    EXPECT_EQ(form.controls().hotkeySelections,
              (std::array<int, 4>{kNoSelection, kNoSelection, kNoSelection, kNoSelection}));
    form.fill();
    EXPECT_EQ(form.controls().hotkeySelections, (std::array<int, 4>{3, 12, 2, 3}));
}

}  // namespace
