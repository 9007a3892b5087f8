// The strong format on any bytes: an unlock takes the password or refuses it
// and changes no file, every read gives data or names the file, and what is
// written is read back under the password it was saved with.
//
// Input: a password byte count and the password, then the settings, the title
// file and the key code file of group 1, each after a 2-byte big-endian
// length (the bytes are random: no separator byte is free).
#include <string_view>

#include "fuzz_fields.h"
#include "reads_without_change.h"
#include "storage/errors.h"
#include "storage/program_files.h"
#include "storage/stored_file.h"
#include "storage/strong_file.h"
#include "tests/support/memory_file_system.h"

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}
    std::string take(std::size_t count) {
        const std::string bytes(rest_.substr(0, count));
        rest_.remove_prefix(bytes.size());
        return bytes;
    }
    std::size_t count(std::size_t bytes) {
        std::size_t value = 0;
        for (const char c : take(bytes)) value = value << 8 | static_cast<unsigned char>(c);
        return value;
    }

private:
    std::string_view rest_;
};

// A derivation whose count the input sets is kept short: the count is part
// of what the tag checks, so a large one is refused after it, not before.
bool quickToUnwrap(const std::string& settings) {
    const auto keyBlock = storage::keyBlockOf(settings);
    if (!keyBlock) return true;
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i)
        count = count << 8 | static_cast<unsigned char>((*keyBlock)[16 + i]);
    return count <= 1000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::string password = input.take(input.count(1));
    test_support::MemoryFileSystem fs;
    storage::ProgramFiles files(fs, "folder", 2);
    for (const platform::Path& path :
         {files.settingsPath(), files.titlePath(1), files.keyCodePath(1)}) {
        fs.files[path] = input.take(input.count(2));
    }
    if (!quickToUnwrap(fs.files[files.settingsPath()])) return 0;

    bool unlocked = false;
    fuzz::readsWithoutChange(fs, [&] {
        if (files.formatOnDisk() == storage::StoredFormat::Strong)
            unlocked = files.unlock(password);
    });
    fuzz::check(unlocked == (files.format() == storage::StoredFormat::Strong),
                "the format does not follow the unlock");
    if (!unlocked) return 0;
    fuzz::readsWithoutChange(fs, [&] {
        storage::SettingsRecord record;
        files.loadSettings(record);
    });
    fuzz::readsWithoutChange(fs, [&] {
        const storage::ItemLists group = files.readGroup(1);
        fuzz::check(group.titles.size() == group.keyCodes.size(), "group lists not parallel");
    });

    const storage::ItemLists lists{{"mail", "bank"}, {password, ""}};
    files.writeGroup(2, lists);
    storage::SettingsRecord record = storage::SettingsRecord::builtInDefaults();
    record.setLine(storage::settings_line::kPassword, password + "!");
    files.saveSettings(record);
    storage::ProgramFiles again(fs, "folder", 2);
    fuzz::check(!again.unlock(password) && again.unlock(password + "!"),
                "the key is not wrapped under the password saved");
    fuzz::check(again.readGroup(2) == lists, "a group written is not read back");
    return 0;
}
