#include "dialogs/rules/lock_options.h"

#include <gtest/gtest.h>

namespace {

namespace line = storage::settings_line;
using lock_options::Options;
using lock_options::Refusal;

// A record as loaded from a settings file of fifteen lines.
storage::SettingsRecord loaded(const char* passwordAtStart) {
    storage::SettingsRecord settings;
    settings.replaceWithLoaded({"197", "108", "149", "452", "1", passwordAtStart, "0", "0", "1",
                                "kiwi", "111", "2", "", "00010203", ""});
    return settings;
}

TEST(LockOptions, StoredMinutesAreKeptWithinRange) {
    const std::pair<const char*, int> rows[] = {{"", 10},   {"ten", 10},  {"0", 1},     {"1", 1},
                                                {"45", 45}, {"999", 999}, {"1000", 999}};
    for (const auto& [stored, minutes] : rows) {
        auto settings = loaded("1");
        settings.setLine(line::kIdleMinutes, stored);
        EXPECT_EQ(lock_options::idleMinutes(settings), minutes) << stored;
    }
}

// Looked at again when the lock would be due, never later than in 30 s.
TEST(LockOptions, NextIdleCheck) {
    const struct {
        std::uint32_t idle;
        int minutes;
        std::uint32_t wait;
    } rows[] = {{0, 1, 30'000}, {45'000, 1, 15'000}, {59'999, 1, 1},
                {60'000, 1, 0}, {3'600'000, 1, 0},   {0, 999, 30'000}};
    for (const auto& row : rows)
        EXPECT_EQ(lock_options::untilIdleLock(row.idle, row.minutes), row.wait) << row.idle;
}

// Counted from the unlock while no input came after it, across the wrap.
TEST(LockOptions, IdleSinceTheLaterOfInputAndUnlock) {
    EXPECT_EQ(lock_options::idleSince(5'000, 9'000), 9'000u);
    EXPECT_EQ(lock_options::idleSince(9'000, 5'000), 9'000u);
    EXPECT_EQ(lock_options::idleSince(0xFFFF'F000, 0x0000'1000), 0x0000'1000u);
    EXPECT_EQ(lock_options::idleSince(0x0000'1000, 0xFFFF'F000), 0x0000'1000u);
}

TEST(LockOptions, StoringKeepsTheFifteenLinesAndRefusesWhatCannotLock) {
    auto settings = loaded("1");
    EXPECT_EQ(lock_options::store(settings, {}), Refusal::none);
    EXPECT_EQ(settings.lines().size(), 15u);  // both off: written as before

    const Options idle{false, true, "1"};
    EXPECT_EQ(lock_options::store(settings, {false, true, "0"}), Refusal::minutesOutOfRange);
    EXPECT_EQ(lock_options::store(settings, {false, true, ""}), Refusal::minutesOutOfRange);
    EXPECT_EQ(settings.lines().size(), 15u);
    EXPECT_EQ(lock_options::store(settings, idle), Refusal::none);
    EXPECT_EQ(lock_options::options(settings), idle);
    EXPECT_EQ(settings.line(line::kPassword), "kiwi");

    auto unasked = loaded("0");
    EXPECT_EQ(lock_options::store(unasked, {true, false, "10"}), Refusal::needsPasswordAtStart);
    EXPECT_FALSE(lock_options::lockOnScreenLock(unasked));
}

}  // namespace
