// What Ctrl+1 to Ctrl+4 deliver: slot k of settings line 13 names an item of
// group 1, and they act only while group 1 is on display and the program is
// unlocked.
#pragma once

#include <string>

#include "storage/settings_record.h"

namespace paste {

bool hotkeysDeliver(const storage::SettingsRecord& settings, bool unlocked);

// The zero-based item of slot 1 to 4: two characters of line 13 as a decimal
// number. Throws storage::ConversionError when they are none.
int hotkeySlotItem(const storage::SettingsRecord& settings, int slot);

}  // namespace paste
