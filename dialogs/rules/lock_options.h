// When the program locks itself: on a screen lock or sleep, and after idle
// time. Both are off until the user turns them on.
#pragma once

#include <cstdint>
#include <string>

#include "storage/settings_record.h"

namespace lock_options {

inline constexpr int kFewestMinutes = 1, kMostMinutes = 999, kDefaultMinutes = 10;
// The idle timer never sleeps longer, so that a lock is never much late.
inline constexpr std::uint32_t kLongestCheckInterval = 30'000;

bool lockOnScreenLock(const storage::SettingsRecord& settings);
bool lockWhenIdle(const storage::SettingsRecord& settings);
// The stored minutes, kept within 1 to 999; the default when no number.
int idleMinutes(const storage::SettingsRecord& settings);

// What the security window shows and changes; the minutes as typed.
struct Options {
    bool onScreenLock = false;
    bool whenIdle = false;
    std::string minutes;
    bool operator==(const Options&) const = default;
};
Options options(const storage::SettingsRecord& settings);

enum class Refusal { none, needsPasswordAtStart, minutesOutOfRange };
// Stores the options in the settings record, or changes nothing and says why:
// a lock needs the start-up password asked at start, and idle minutes are 1
// to 999. A record without the lines keeps them away while both are off.
Refusal store(storage::SettingsRecord& settings, const Options& chosen);

// The later of two tick counts, which wrap after 49.7 days: the idle time
// counts from the last input, or from the unlock when no input came since.
std::uint32_t idleSince(std::uint32_t lastInput, std::uint32_t unlocked);

// Milliseconds until the next look at the idle time: when the lock would be
// due if nothing happens, but at most kLongestCheckInterval; 0 when it is due.
std::uint32_t untilIdleLock(std::uint32_t idleMilliseconds, int minutes);

}  // namespace lock_options
