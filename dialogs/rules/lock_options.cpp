#include "dialogs/rules/lock_options.h"

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

Options options(const storage::SettingsRecord& settings) {
    return {lockOnScreenLock(settings), lockWhenIdle(settings),
            std::to_string(idleMinutes(settings))};
}

Refusal store(storage::SettingsRecord& settings, const Options& chosen) {
    const bool anyOn = chosen.onScreenLock || chosen.whenIdle;
    // An empty line asks, as a settings file of an early version did.
    const std::string& asked = settings.line(line::kPasswordAtStart);
    if (anyOn && !asked.empty() && asked != "1") return Refusal::needsPasswordAtStart;
    int minutes = 0;
    const bool minutesValid = storage::tryToInteger(chosen.minutes, minutes) &&
                              minutes >= kFewestMinutes && minutes <= kMostMinutes;
    if (chosen.whenIdle && !minutesValid) return Refusal::minutesOutOfRange;
    if (!anyOn && settings.lines().size() <= line::kLockOnScreenLock) return Refusal::none;
    settings.setLine(line::kLockOnScreenLock, chosen.onScreenLock ? "1" : "0");
    settings.setLine(line::kLockWhenIdle, chosen.whenIdle ? "1" : "0");
    if (minutesValid) settings.setLine(line::kIdleMinutes, std::to_string(minutes));
    return Refusal::none;
}

std::uint32_t idleSince(std::uint32_t lastInput, std::uint32_t unlocked) {
    return static_cast<std::int32_t>(lastInput - unlocked) > 0 ? lastInput : unlocked;
}

std::uint32_t untilIdleLock(std::uint32_t idleMilliseconds, int minutes) {
    const std::uint32_t limit = static_cast<std::uint32_t>(minutes) * 60'000;
    if (idleMilliseconds >= limit) return 0;
    return std::min(limit - idleMilliseconds, kLongestCheckInterval);
}

}  // namespace lock_options
