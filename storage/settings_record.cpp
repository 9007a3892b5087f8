#include "storage/settings_record.h"

#include <cstdint>
#include <utility>

namespace storage {
namespace {

constexpr std::size_t kLoadedLineCount = 15;
constexpr int kPaddingAppends = 6;

// The opacity is kept in eight bits, so it wraps like a byte would.
int opacity(int factor, int level) {
    const std::int64_t value = std::int64_t{factor} * level + 45;
    return static_cast<int>(value & 0xFF);
}

}  // namespace

SettingsRecord SettingsRecord::builtInDefaults() {
    SettingsRecord record;
    record.lines_ = {"", "", "", "", "1", "1", "", "", "1", "mulberry", "1", "2", "", ""};
    return record;
}

// At most six lines are appended: a file written by the program has at least
// fourteen lines, and a shorter one keeps its missing lines reading as empty.
void SettingsRecord::replaceWithLoaded(Lines lines) {
    lines_ = std::move(lines);
    for (int i = 0; i < kPaddingAppends && lines_.size() < kLoadedLineCount; ++i) {
        lines_.emplace_back();
    }
    if (line(settings_line::kHotkeySlots).empty()) {
        setLine(settings_line::kHotkeySlots, kDefaultHotkeySlots);
    }
    setLine(settings_line::kGroupOnDisplay, "1");
}

const std::string& SettingsRecord::line(std::size_t index) const {
    static const std::string kEmpty;
    return index < lines_.size() ? lines_[index] : kEmpty;
}

void SettingsRecord::setLine(std::size_t index, std::string value) {
    if (index >= lines_.size()) {
        lines_.resize(index + 1);
    }
    lines_[index] = std::move(value);
}

int opacityAtStart(int level) {
    return opacity(70, level);
}

int opacityFromSlider(int level) {
    return opacity(60, level);
}

}  // namespace storage
