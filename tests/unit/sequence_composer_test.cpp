#include "dialogs/rules/sequence_composer.h"

#include <gtest/gtest.h>

#include "paste/sequence.h"

namespace {

TEST(SequenceComposer, ItemNumbersHaveTwoDigitsBelowTenAndArePlainFromTenOn) {
    EXPECT_EQ(SequenceComposer::itemToken(0), "00");
    EXPECT_EQ(SequenceComposer::itemToken(9), "09");
    EXPECT_EQ(SequenceComposer::itemToken(10), "10");
    EXPECT_EQ(SequenceComposer::itemToken(29), "29");
    EXPECT_EQ(SequenceComposer::itemToken(-1), "");
}

TEST(SequenceComposer, JoinsTheStepsInOrder) {
    SequenceComposer composer;
    composer.addItem(0);
    composer.addTab();
    composer.addItem(1);
    composer.addEnter();
    EXPECT_EQ(composer.sequence(), "00,T01,R");
    EXPECT_EQ(composer.nextStep(), 5);
}

TEST(SequenceComposer, AStepWithoutAChosenItemUsesASlotAndAddsNothing) {
    SequenceComposer composer;
    composer.addItem(-1);
    composer.addItem(12);
    EXPECT_EQ(composer.sequence(), "12");
    EXPECT_EQ(composer.nextStep(), 3);
}

TEST(SequenceComposer, IgnoresTheSeventhStep) {
    SequenceComposer composer;
    for (int i = 0; i < 6; ++i) composer.addEnter();
    EXPECT_EQ(composer.sequence(), ",R,R,R,R,R,R");
    composer.addItem(3);
    composer.addTab();
    EXPECT_EQ(composer.sequence(), ",R,R,R,R,R,R");
    EXPECT_EQ(composer.nextStep(), 7);
}

TEST(SequenceComposer, ARestartEmptiesEverySlot) {
    SequenceComposer composer;
    composer.addItem(0);
    composer.addTab();
    composer.addItem(5);
    composer.restart();
    EXPECT_EQ(composer.sequence(), "");
    EXPECT_EQ(composer.nextStep(), 1);
    // No token of the earlier composition comes back.
    composer.addItem(7);
    EXPECT_EQ(composer.sequence(), "07");
}

// The composed text must mean to playback what the buttons said.
TEST(SequenceComposer, ItsStepsAreTheOnesPlaybackReads) {
    SequenceComposer composer;
    composer.addItem(0);
    composer.addTab();
    composer.addItem(12);
    composer.addEnter();
    const std::string sequence = composer.sequence();
    EXPECT_EQ(paste::stepKind(paste::sequenceStep(sequence, 1)), paste::StepKind::Item);
    EXPECT_TRUE(paste::stepPutsKeyCode(paste::sequenceStep(sequence, 1), 0));
    EXPECT_EQ(paste::stepKind(paste::sequenceStep(sequence, 2)), paste::StepKind::Tab);
    EXPECT_TRUE(paste::stepPutsKeyCode(paste::sequenceStep(sequence, 3), 12));
    EXPECT_EQ(paste::stepKind(paste::sequenceStep(sequence, 4)), paste::StepKind::Enter);
    EXPECT_EQ(paste::stepKind(paste::sequenceStep(sequence, 5)), paste::StepKind::End);
}

}  // namespace
