#include "paste/hotkeys.h"

#include "storage/integer_text.h"

namespace paste {

namespace line = storage::settings_line;

bool hotkeysDeliver(const storage::SettingsRecord& settings, bool unlocked) {
    return settings.line(line::kGroupOnDisplay) == "1" && unlocked;
}

int hotkeySlotItem(const storage::SettingsRecord& settings, int slot) {
    const std::string& slots = settings.line(line::kHotkeySlots);
    const std::size_t start = 2 * static_cast<std::size_t>(slot - 1);
    return storage::toInteger(start < slots.size() ? slots.substr(start, 2) : std::string());
}

}  // namespace paste
