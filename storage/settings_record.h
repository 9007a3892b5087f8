// The settings record: fifteen text lines addressed by index, the single
// source of truth for every setting while the program runs.
#pragma once

#include <cstddef>
#include <string>

#include "storage/line_file.h"

namespace storage {

namespace settings_line {
inline constexpr std::size_t kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kStayOnTop = 4,
                             kPasswordAtStart = 5, kTransparency = 6, kNewline = 7,
                             kGroupOnDisplay = 8, kPassword = 9, kSingleClick = 10,
                             kTransparencyLevel = 11, kHotkeySlots = 13;
// After the fifteen lines, so that a file without them loads as before: the
// lock on a screen lock or sleep, the idle lock and its minutes.
inline constexpr std::size_t kLockOnScreenLock = 15, kLockWhenIdle = 16, kIdleMinutes = 17;
}  // namespace settings_line

inline constexpr const char* kDefaultHotkeySlots = "00010203";

class SettingsRecord {
public:
    // The 14-line record used when there is no settings file.
    static SettingsRecord builtInDefaults();

    // Takes the lines of a settings file: pads to 15 lines (six appends at
    // most), fills an empty hotkey line and puts group 1 on display.
    void replaceWithLoaded(Lines lines);

    // Empty text for a line the record does not have.
    const std::string& line(std::size_t index) const;
    // Writing beyond the end first pads with empty lines.
    void setLine(std::size_t index, std::string value);
    bool isOn(std::size_t index) const { return line(index) == "1"; }

    const Lines& lines() const { return lines_; }

private:
    Lines lines_;
};

// Opacity 0..255 of the main window for a transparency level: at start the
// factor is 70, while the settings slider moves it is 60.
int opacityAtStart(int level);
int opacityFromSlider(int level);

}  // namespace storage
