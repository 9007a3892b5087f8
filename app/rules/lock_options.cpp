#include "app/rules/lock_options.h"

#include <algorithm>

#include "storage/integer_text.h"

namespace lock_options {

namespace line = storage::settings_line;

bool lockOnScreenLock(const storage::SettingsRecord& settings) {
    return settings.isOn(line::kLockOnScreenLock);
}

bool lockWhenIdle(const storage::SettingsRecord& settings) {
    return settings.isOn(line::kLockWhenIdle);
}

int idleMinutes(const storage::SettingsRecord& settings) {
    int minutes = 0;
    if (!storage::tryToInteger(settings.line(line::kIdleMinutes), minutes)) return kDefaultMinutes;
    return std::clamp(minutes, kFewestMinutes, kMostMinutes);
}

std::uint32_t untilIdleLock(std::uint32_t idleMilliseconds, int minutes) {
    const std::uint32_t limit = static_cast<std::uint32_t>(minutes) * 60'000;
    if (idleMilliseconds >= limit) return 0;
    return std::min(limit - idleMilliseconds, kLongestCheckInterval);
}

}  // namespace lock_options
