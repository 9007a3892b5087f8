// The program's stored files on any bytes: every reader either gives data or
// reports the file, reading changes no file, and what is written is read back.
#include "fuzz_fields.h"
#include "reads_without_change.h"
#include "tests/support/memory_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/group_rules.h"
#include "storage/program_files.h"
#include "storage/stored_file.h"

namespace {

using Files = std::map<platform::Path, std::string>;

// Lines as the lists hold them: no line ends, no NUL, the lists parallel.
storage::ItemLists writableLists(fuzz::Fields& fields) {
    storage::ItemLists lists{fields.lines(), fields.lines()};
    storage::padToSameLength(lists);
    return lists;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    test_support::MemoryFileSystem fs;
    storage::ProgramFiles files(fs, "folder");
    const platform::Path stored[] = {
        files.settingsPath(),    files.titlePath(1),        files.keyCodePath(1),
        files.titleBackupPath(), files.keyCodeBackupPath(), "import.ini",
        "import_k.ini"};
    for (const platform::Path& path : stored) {
        if (fields.flag()) fs.files[path] = fields.text();
    }

    for (const platform::Path& path : stored) {
        fuzz::readsWithoutChange(fs, [&] {
            const std::string content = storage::readStoredFile(fs, path);
            const std::string& bytes = fs.files[path];
            if (!storage::beginsLikeLockMarker(bytes))
                fuzz::check(content == bytes, "a plain file was not read as it stands");
        });
    }
    fuzz::readsWithoutChange(fs, [&] {
        storage::SettingsRecord record;
        files.loadSettings(record);
    });
    fuzz::readsWithoutChange(fs, [&] {
        const storage::ItemLists lists =
            storage::readExportedPair(fs, "import.ini", storage::importedKeyCodePath("import.ini"));
        fuzz::check(lists.titles.size() == lists.keyCodes.size(), "imported lists not parallel");
    });

    const storage::ItemLists lists = writableLists(fields);
    try {
        const storage::ItemLists group = files.readGroup(1);
        fuzz::check(group.titles.size() == group.keyCodes.size(), "group lists not parallel");
    } catch (const storage::FileError&) {
    }
    const Files before = fs.files;
    try {
        files.writeBackups(lists);
        fuzz::check(storage::holdsEncrypted(fs, files.titleBackupPath(), lists.titles) &&
                        storage::holdsEncrypted(fs, files.keyCodeBackupPath(), lists.keyCodes),
                    "backups written do not hold the lists");
    } catch (const storage::FileError& error) {
        fuzz::check(fs.files == before, "a refused backup changed a file");
    }

    files.writeGroup(2, lists);
    const storage::ItemLists back = files.readGroup(2);
    fuzz::check(back.titles == lists.titles && back.keyCodes == lists.keyCodes,
                "a group written is not read back");
    return 0;
}
