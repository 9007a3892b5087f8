// When the program locks itself: on a screen lock or sleep, and after idle
// time. Both are off until the user turns them on.
#pragma once

#include <cstdint>

#include "storage/settings_record.h"

namespace lock_options {

inline constexpr int kFewestMinutes = 1, kMostMinutes = 999, kDefaultMinutes = 10;
// The idle timer never sleeps longer, so that a lock is never much late.
inline constexpr std::uint32_t kLongestCheckInterval = 30'000;

bool lockOnScreenLock(const storage::SettingsRecord& settings);
bool lockWhenIdle(const storage::SettingsRecord& settings);
// The stored minutes, kept within 1 to 999; the default when no number.
int idleMinutes(const storage::SettingsRecord& settings);

// Milliseconds until the next look at the idle time: when the lock would be
// due if nothing happens, but at most kLongestCheckInterval; 0 when it is due.
std::uint32_t untilIdleLock(std::uint32_t idleMilliseconds, int minutes);

}  // namespace lock_options
