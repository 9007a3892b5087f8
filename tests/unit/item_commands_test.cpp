#include "dialogs/rules/item_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "paste/item_kind.h"

namespace {

using storage::ItemLists;
using storage::Lines;

// Items "t0".."t<n-1>" with key codes "k0".."k<n-1>".
ItemLists numberedItems(int count) {
    ItemLists lists;
    for (int i = 0; i < count; ++i) {
        lists.titles.push_back("t" + std::to_string(i));
        lists.keyCodes.push_back("k" + std::to_string(i));
    }
    return lists;
}

TEST(Capacity, TwentyNineLinesTakeOneMoreAndThirtyTakeNone) {
    EXPECT_FALSE(item_commands::isFull(numberedItems(0)));
    EXPECT_FALSE(item_commands::isFull(numberedItems(29)));
    EXPECT_TRUE(item_commands::isFull(numberedItems(30)));
    // Separators count toward the limit.
    ItemLists lists = numberedItems(29);
    item_commands::insertSeparator(lists, 0);
    EXPECT_TRUE(item_commands::isFull(lists));
}

TEST(Capacity, IsTestedOnlyWhenACommandStartsSoARegistrationUnderWayPassesIt) {
    ItemLists lists = numberedItems(29);
    ASSERT_FALSE(item_commands::isFull(lists));  // the add command opens the window
    item_commands::insertSeparator(lists, 3);    // meanwhile: 30 lines
    EXPECT_TRUE(item_commands::appendItem(lists, "new", "code"));
    EXPECT_EQ(lists.titles.size(), 31u);
    EXPECT_EQ(lists.keyCodes.size(), 31u);
}

TEST(AddPrefill, TitleIsTheItemCountAndKeyCodeTheClipboardsFirstLine) {
    EXPECT_EQ(item_commands::addPrefill(L"", 0).title, L"0");
    EXPECT_EQ(item_commands::addPrefill(L"", 12).title, L"12");
    EXPECT_EQ(item_commands::addPrefill(L"", 12).keyCode, L"");
    EXPECT_EQ(item_commands::addPrefill(L"secret", 1).keyCode, L"secret");
    EXPECT_EQ(item_commands::addPrefill(L"first\r\nsecond", 1).keyCode, L"first");
    EXPECT_EQ(item_commands::addPrefill(L"first\nsecond", 1).keyCode, L"first");
    EXPECT_EQ(item_commands::addPrefill(L"first\rsecond", 1).keyCode, L"first");
    EXPECT_EQ(item_commands::addPrefill(L"\r\nsecond", 1).keyCode, L"");
}

TEST(AppendItem, AddsTheItemLastInBothListsUnlessTheTitleIsEmpty) {
    ItemLists lists = numberedItems(2);
    EXPECT_TRUE(item_commands::appendItem(lists, "mail", ""));
    EXPECT_EQ(lists.titles, (Lines{"t0", "t1", "mail"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k1", ""}));

    EXPECT_FALSE(item_commands::appendItem(lists, "", "code"));
    EXPECT_EQ(lists.titles.size(), 3u);
    EXPECT_EQ(lists.keyCodes.size(), 3u);
}

TEST(ReplaceItem, ChangesOnlyThatLineOfBothLists) {
    ItemLists lists = numberedItems(6);
    EXPECT_TRUE(item_commands::replaceItem(lists, 4, "bank", ""));
    EXPECT_EQ(lists.titles, (Lines{"t0", "t1", "t2", "t3", "bank", "t5"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k1", "k2", "k3", "", "k5"}));
}

TEST(ReplaceItem, AnEmptyTitleOrAPositionThatIsGoneChangesNothing) {
    const ItemLists before = numberedItems(3);
    for (int position : {-1, 3, 7}) {
        ItemLists lists = before;
        EXPECT_FALSE(item_commands::replaceItem(lists, position, "x", "y")) << position;
        EXPECT_EQ(lists.titles, before.titles);
        EXPECT_EQ(lists.keyCodes, before.keyCodes);
    }
    ItemLists lists = before;
    EXPECT_FALSE(item_commands::replaceItem(lists, 1, "", "y"));
    EXPECT_EQ(lists.keyCodes, before.keyCodes);

    ItemLists empty;
    EXPECT_FALSE(item_commands::replaceItem(empty, 0, "x", "y"));
    EXPECT_TRUE(empty.titles.empty());
    EXPECT_TRUE(empty.keyCodes.empty());
}

TEST(EditWriteBack, OnlyWhileTheLoadedItemStillStandsInTheGroupOnDisplay) {
    const ItemLists before = numberedItems(5);
    const auto loaded = item_commands::loadItem(before, 2, 3);
    EXPECT_TRUE(item_commands::stillStands(loaded, before, 2));
    EXPECT_FALSE(item_commands::stillStands(loaded, before, 1));  // another group on display

    ItemLists deleted = before;  // the item below moved up into its place
    item_commands::deleteItems(deleted, {3});
    EXPECT_FALSE(item_commands::stillStands(loaded, deleted, 2));

    ItemLists moved = before;
    item_commands::moveUp(moved, 3);
    EXPECT_FALSE(item_commands::stillStands(loaded, moved, 2));

    ItemLists separated = before;
    item_commands::insertSeparator(separated, 3);
    EXPECT_FALSE(item_commands::stillStands(loaded, separated, 2));

    ItemLists keyCodeChanged = before;
    keyCodeChanged.keyCodes[3] = "other";
    EXPECT_FALSE(item_commands::stillStands(loaded, keyCodeChanged, 2));

    ItemLists shortened = before;
    item_commands::deleteItems(shortened, {0, 1, 2, 3, 4});
    EXPECT_FALSE(item_commands::stillStands(loaded, shortened, 2));

    const auto nothing = item_commands::loadItem(ItemLists{}, 1, 0);
    EXPECT_EQ(nothing.position, -1);
    EXPECT_FALSE(item_commands::stillStands(nothing, before, 1));
}

TEST(MoveUp, ExchangesTheCurrentItemWithTheOneAboveInBothLists) {
    ItemLists lists = numberedItems(5);
    EXPECT_TRUE(item_commands::moveUp(lists, 3));
    EXPECT_EQ(lists.titles, (Lines{"t0", "t1", "t3", "t2", "t4"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k1", "k3", "k2", "k4"}));
}

TEST(MoveUp, DoesNothingOnTheFirstLineOrWithoutACurrentItem) {
    const ItemLists before = numberedItems(3);
    for (int current : {0, -1, 3}) {
        ItemLists lists = before;
        EXPECT_FALSE(item_commands::moveUp(lists, current)) << current;
        EXPECT_EQ(lists.titles, before.titles);
        EXPECT_EQ(lists.keyCodes, before.keyCodes);
    }
    ItemLists empty;
    EXPECT_FALSE(item_commands::moveUp(empty, 0));
}

TEST(DeleteItems, RemovesEveryHighlightedLineFromBothLists) {
    ItemLists lists = numberedItems(6);
    // In any order: positions taken from the top must not shift the others.
    item_commands::deleteItems(lists, {1, 4, 2});
    EXPECT_EQ(lists.titles, (Lines{"t0", "t3", "t5"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k3", "k5"}));
}

TEST(DeleteItems, IgnoresRepeatedAndMissingPositionsAndMayEmptyTheList) {
    ItemLists lists = numberedItems(3);
    item_commands::deleteItems(lists, {});
    EXPECT_EQ(lists.titles.size(), 3u);
    item_commands::deleteItems(lists, {2, 2, 9, -1});
    EXPECT_EQ(lists.titles, (Lines{"t0", "t1"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k1"}));
    item_commands::deleteItems(lists, {0, 1});
    EXPECT_TRUE(lists.titles.empty());
    EXPECT_TRUE(lists.keyCodes.empty());
}

TEST(InsertSeparator, GoesAboveTheCurrentItemWithAnEmptyKeyCode) {
    ItemLists lists = numberedItems(4);
    item_commands::insertSeparator(lists, 2);
    EXPECT_EQ(lists.titles, (Lines{"t0", "t1", "---------------", "t2", "t3"}));
    EXPECT_EQ(lists.keyCodes, (Lines{"k0", "k1", "", "k2", "k3"}));
    EXPECT_EQ(paste::classify(lists.titles[2]), paste::ItemKind::Separator);
}

TEST(InsertSeparator, BecomesTheOnlyLineOfAnEmptyList) {
    ItemLists lists;
    item_commands::insertSeparator(lists, -1);
    EXPECT_EQ(lists.titles, (Lines{"---------------"}));
    EXPECT_EQ(lists.keyCodes, (Lines{""}));
}

}  // namespace
