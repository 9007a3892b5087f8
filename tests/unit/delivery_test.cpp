#include "paste/delivery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/recording_desktop.h"
#include "storage/errors.h"

namespace {

using Effects = std::vector<std::string>;

constexpr platform::WindowHandle kOwnWindow = test_support::FakeMainWindow::kOwnWindow;
constexpr platform::WindowHandle kEditor = 42;

const Effects kPasteIntoEditor = {"foreground 42", "ctrl down", "v down",         "v up",
                                  "ctrl up",       "sleep 800", "clear clipboard"};
const Effects kEnterIntoEditor = {"foreground 42", "enter"};

Effects operator+(Effects first, const Effects& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using test_support::FakeMainWindow;

class DeliveryTest : public ::testing::Test {
protected:
    // One item, current, with the editor recorded as the target.
    void given(const std::string& title, const std::string& keyCode) {
        window.lists = {{title}, {keyCode}};
        hoverFrom(kEditor);
    }
    void hoverFrom(platform::WindowHandle foreground) {
        desktop.foreground = foreground;
        delivery.recordTarget();
    }
    void singleClickOff() {
        window.settingsRecord.setLine(storage::settings_line::kSingleClick, "2");
    }
    Effects clickEffects() {
        desktop.effects.clear();
        delivery.click();
        return desktop.effects;
    }
    Effects doubleClickEffects() {
        desktop.effects.clear();
        delivery.doubleClick();
        return desktop.effects;
    }
    const std::string& keyCode() const { return window.lists.keyCodes[window.current]; }

    test_support::RecordingDesktop desktop;
    FakeMainWindow window;
    paste::Delivery delivery{window, desktop};
};

TEST_F(DeliveryTest, TargetIsTheLastForegroundWindowNotOfThisProgram) {
    hoverFrom(test_support::kEditWindow);
    EXPECT_EQ(delivery.targetField(), "7");  // at worst the main window itself
    hoverFrom(kEditor);
    hoverFrom(kOwnWindow);
    hoverFrom(test_support::kEditWindow);
    hoverFrom(0);  // no foreground window while the activation changes hands
    EXPECT_EQ(delivery.targetField(), "42");
    EXPECT_EQ(delivery.ownHandleField(), "7");
    hoverFrom(-5);  // a handle above 2^31 comes as a negative 32-bit value
    EXPECT_EQ(delivery.targetField(), "-5");
}

TEST_F(DeliveryTest, SingleClickPastesIntoTheTargetAndPressesEnterWhenTheToggleIsOn) {
    given("mail", "abc");
    const Effects delivered =
        Effects{"clear clipboard", "clipboard abc"} + kPasteIntoEditor + Effects{"set active 42"};
    EXPECT_EQ(clickEffects(), delivered);
    window.newline = true;
    EXPECT_EQ(clickEffects(), delivered + kEnterIntoEditor);
    EXPECT_EQ(desktop.clipboard, "");
    EXPECT_EQ(window.display, "abc");
    EXPECT_EQ(desktop.pasted, (std::vector<std::string>{"abc", "abc"}));
}

TEST_F(DeliveryTest, DoubleClickInSingleClickModeOnlyRepeatsTheEnter) {
    given("mail", "abc");
    delivery.click();
    EXPECT_EQ(doubleClickEffects(), Effects{});
    window.newline = true;
    EXPECT_EQ(doubleClickEffects(), kEnterIntoEditor);
}

TEST_F(DeliveryTest, WithSingleClickOffAClickCopiesAndTheDoubleClickPastes) {
    given("mail", "abc");
    singleClickOff();
    window.newline = true;
    EXPECT_EQ(clickEffects(), (Effects{"clear clipboard", "clipboard abc", "later 30000"}));
    EXPECT_EQ(desktop.clipboard, "abc");
    EXPECT_EQ(window.display, "abc");
    EXPECT_EQ(doubleClickEffects(), kPasteIntoEditor + kEnterIntoEditor);
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"abc"});
    EXPECT_EQ(desktop.clipboard, "");
    // The copy's clear, due 30 s later, finds it pasted and cleared already;
    // a copy that nothing pasted is cleared then.
    desktop.effects.clear();
    desktop.runDueActions();
    EXPECT_EQ(desktop.effects, Effects{});
    delivery.click();
    desktop.runDueActions();
    EXPECT_EQ(desktop.clipboard, "");
}

TEST_F(DeliveryTest, ClickModeIsTheCharacterOfTheGroupOnDisplay) {
    given("mail", "abc");
    window.settingsRecord.setLine(storage::settings_line::kGroupOnDisplay, "2");
    window.settingsRecord.setLine(storage::settings_line::kSingleClick, "1");  // too short: on
    delivery.click();
    EXPECT_EQ(desktop.pasted.size(), 1u);
    window.settingsRecord.setLine(storage::settings_line::kSingleClick, "12");
    EXPECT_EQ(clickEffects(), (Effects{"clear clipboard", "clipboard abc", "later 30000"}));
    window.settingsRecord.setLine(storage::settings_line::kGroupOnDisplay, "x");
    EXPECT_THROW(delivery.click(), storage::ConversionError);
}

TEST_F(DeliveryTest, SeparatorEmptiesTheDisplayAndTouchesNothingElse) {
    given("-----", "");
    EXPECT_EQ(clickEffects(), Effects{});
    EXPECT_EQ(window.display, "");
    window.display = "x";
    EXPECT_EQ(doubleClickEffects(), Effects{});
    EXPECT_EQ(window.display, "");
    EXPECT_EQ(desktop.clipboard, "user's text");
}

TEST_F(DeliveryTest, AnAtTitleThatIsNoMacroActivatesTheTargetBeforeCopying) {
    given("@memo", "abc");
    const Effects activatedFirst = {"set active 42", "clear clipboard", "clipboard abc"};
    EXPECT_EQ(clickEffects(), activatedFirst + kPasteIntoEditor + Effects{"set active 42"});
}

TEST_F(DeliveryTest, EmptyTargetFieldFailsBeforeAnythingIsDelivered) {
    window.lists = {{"mail"}, {"abc"}};
    try {
        delivery.click();
        FAIL() << "no conversion error";
    } catch (const storage::ConversionError& error) {
        EXPECT_EQ(error.text(), "");
    }
    EXPECT_EQ(desktop.effects, Effects{});
    EXPECT_EQ(window.display, "(untouched)");
}

TEST_F(DeliveryTest, EmptyListOrNoCurrentItemDoesNothing) {
    hoverFrom(kEditor);
    EXPECT_EQ(clickEffects(), Effects{});
    window.lists = {{"mail"}, {"abc"}};
    window.current = 1;
    EXPECT_EQ(clickEffects(), Effects{});
    EXPECT_EQ(doubleClickEffects(), Effects{});
}

TEST_F(DeliveryTest, ClipboardHeldByAnotherProgramStopsTheDelivery) {
    given("mail", "abc");
    desktop.clipboardHeldByAnotherProgram = true;
    EXPECT_THROW(delivery.click(), platform::ClipboardError);
    EXPECT_TRUE(desktop.pasted.empty());
    EXPECT_NO_THROW(delivery.clearClipboardAtEnd());
}

TEST_F(DeliveryTest, AClearThatFindsTheClipboardHeldIsTriedAgainUntilItSucceeds) {
    given("mail", "abc");
    desktop.answer = [this](const std::string& effect) {
        if (effect == "ctrl up") desktop.clipboardHeldByAnotherProgram = true;
    };
    delivery.click();
    desktop.runDueActions();  // still held
    EXPECT_EQ(desktop.clipboard, "abc");
    desktop.clipboardHeldByAnotherProgram = false;
    desktop.runDueActions();
    EXPECT_EQ(desktop.clipboard, "");
}

TEST_F(DeliveryTest, HotkeyDeliversItsSlotIntoTheWindowInFrontAndNothingPastTheEnd) {
    window.lists = {{"a", "b"}, {"A", "B"}};
    window.settingsRecord.setLine(storage::settings_line::kHotkeySlots, "01020000");
    desktop.foreground = kEditor;
    delivery.hotkey(1, true);
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"B"});
    EXPECT_EQ(window.current, 1);
    desktop.effects.clear();
    delivery.hotkey(2, true);  // item 2: past the end of the list
    delivery.hotkey(3, false);
    EXPECT_EQ(desktop.effects, Effects{});
    EXPECT_EQ(window.current, 1);
}

TEST_F(DeliveryTest, DateItemIsExpandedAtTheClickAndKeepsTheDate) {
    given("@\x93\xfa\x95\x74,-", "old");  // "@日付,-"
    desktop.now = {2026, 3, 9, 7, 4, 0, 1};
    delivery.click();
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"2026-03-09"});
    EXPECT_EQ(keyCode(), "2026-03-09");
    singleClickOff();
    desktop.now = {2026, 3, 10, 7, 4, 0, 2};
    delivery.click();
    EXPECT_EQ(desktop.clipboard, "2026-03-10");
    EXPECT_EQ(keyCode(), "2026-03-10");
}

TEST_F(DeliveryTest, CounterPastesItsValueAndThenAdvances) {
    given("@NUM,5", "10");
    const Effects copied = {"set active 42", "clear clipboard", "clipboard 10"};
    EXPECT_EQ(clickEffects(), copied + kPasteIntoEditor + Effects{"set active 42"});
    EXPECT_EQ(keyCode(), "15");
    delivery.doubleClick();  // repeats only the advance
    EXPECT_EQ(keyCode(), "20");
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"10"});
}

TEST_F(DeliveryTest, CounterWithSingleClickOffAdvancesOnlyOnTheDoubleClick) {
    given("@NUM,5", "10");
    singleClickOff();
    delivery.click();
    EXPECT_EQ(keyCode(), "10");
    EXPECT_EQ(desktop.clipboard, "10");
    delivery.doubleClick();
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"10"});
    EXPECT_EQ(keyCode(), "15");
}

TEST_F(DeliveryTest, CounterThatIsNoNumberFailsBeforeAnythingIsPasted) {
    given("@NUM", "10");
    EXPECT_THROW(delivery.click(), storage::ConversionError);
    EXPECT_TRUE(desktop.pasted.empty());
    EXPECT_EQ(keyCode(), "10");
}

TEST_F(DeliveryTest, CommandRunsInsteadOfAPasteAndLeavesNothingOnTheClipboard) {
    given("@EXE", "notepad.exe");
    window.newline = true;
    EXPECT_EQ(clickEffects(),
              (Effects{"run notepad.exe", "clear clipboard", "set active 42", "clear clipboard"}));
    EXPECT_EQ(desktop.clipboard, "");
    EXPECT_EQ(window.display, "notepad.exe");
    EXPECT_EQ(doubleClickEffects(), (Effects{"run notepad.exe", "clear clipboard"}));
}

TEST_F(DeliveryTest, CommandWithSingleClickOffRunsOnTheDoubleClickAndLeavesTheClipboardEmpty) {
    given("@EXE,notes", "notepad.exe");
    singleClickOff();
    EXPECT_EQ(clickEffects(), (Effects{"set active 42", "clear clipboard", "clipboard notepad.exe",
                                       "later 30000"}));
    EXPECT_EQ(doubleClickEffects(), (Effects{"run notepad.exe", "clear clipboard"}));
    EXPECT_EQ(desktop.clipboard, "");
}

TEST_F(DeliveryTest, WebAddressOpensWithTheMainWindowAsOwnerInBothModes) {
    given("@URL,news", "http://example.invalid/");
    EXPECT_EQ(clickEffects(), (Effects{"open http://example.invalid/ owner 7", "clear clipboard",
                                       "set active 42", "clear clipboard"}));
    singleClickOff();
    delivery.click();
    EXPECT_EQ(doubleClickEffects(),
              (Effects{"open http://example.invalid/ owner 7", "clear clipboard"}));
    EXPECT_EQ(desktop.clipboard, "");
}

class SequenceTest : public DeliveryTest {
protected:
    // Items A, B, C and the sequence as the current item.
    void givenSequence(const std::string& steps) {
        window.lists = {{"a", "b", "c", "@PGM,"}, {"A", "B", "C", steps}};
        window.current = 3;
        hoverFrom(kEditor);
    }
    static Effects itemStep(const std::string& keyCode) {
        return Effects{"clipboard " + keyCode, "sleep 100"} + kPasteIntoEditor;
    }
    static inline const Effects kTab = {"foreground 42", "tab"};
};

TEST_F(SequenceTest, EarlyEndStopsTheHandlerWithoutActivationOrNewline) {
    givenSequence("00,T01,R");
    window.newline = true;
    EXPECT_EQ(clickEffects(), itemStep("A") + kTab + itemStep("B") + kEnterIntoEditor);
    EXPECT_EQ(desktop.clipboard, "");
    EXPECT_EQ(window.display, "00,T01,R");
}

TEST_F(SequenceTest, FullSixStepsLeaveNothingOnTheClipboard) {
    givenSequence("00,T01,R02,X");
    window.newline = true;
    EXPECT_EQ(clickEffects(), itemStep("A") + kTab + itemStep("B") + kEnterIntoEditor +
                                  itemStep("C") + Effects({"set active 42", "clear clipboard"}));
    EXPECT_EQ(desktop.pasted, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(desktop.clipboard, "");
}

// A login window that closes on the first Enter.
TEST_F(SequenceTest, TargetClosedBetweenStepsStopsTheSequenceAndClearsTheClipboard) {
    givenSequence("00,R01,R");
    desktop.answer = [this](const std::string& effect) {
        if (effect == "enter") desktop.closedWindows.insert(kEditor);
    };
    EXPECT_THROW(delivery.click(), paste::TargetGone);
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"A"});
    EXPECT_EQ(std::count(desktop.effects.begin(), desktop.effects.end(), "enter"), 1);
    EXPECT_EQ(desktop.clipboard, "");
}

TEST_F(SequenceTest, ItemBeyondTheLastEndsThePlaybackWithNothingPasted) {
    window.lists = {{"a", "b", "c", "d", "@PGM,"}, {"A", "B", "C", "D", "05"}};
    window.current = 4;
    hoverFrom(kEditor);
    EXPECT_EQ(clickEffects(), Effects{});
    EXPECT_EQ(desktop.clipboard, "user's text");
}

TEST_F(SequenceTest, OtherCommaStepsAreSkipped) {
    givenSequence(",X,T");
    EXPECT_EQ(clickEffects(), kTab);
}

TEST_F(SequenceTest, StepThatIsNoNumberFailsAfterTheStepsBeforeIt) {
    givenSequence("00xx01");
    EXPECT_THROW(delivery.click(), storage::ConversionError);
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"A"});
}

TEST_F(SequenceTest, ItemStepsPasteKeyCodesAsStoredWithoutNesting) {
    givenSequence("03");
    delivery.click();
    EXPECT_EQ(desktop.pasted, std::vector<std::string>{"03"});
}

TEST_F(SequenceTest, SingleDigitStepPastesWhatTheClipboardHolds) {
    givenSequence("000");  // "00", then "0": a small value written another way
    delivery.click();
    EXPECT_EQ(desktop.pasted, (std::vector<std::string>{"A", ""}));
}

TEST_F(SequenceTest, DoubleClickWithSingleClickOffSendsEveryStepToTheTarget) {
    givenSequence(",T00");
    singleClickOff();
    delivery.click();
    EXPECT_EQ(doubleClickEffects(), kTab + itemStep("A"));
}

}  // namespace
