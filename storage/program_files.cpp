#include "storage/program_files.h"

#include <algorithm>
#include <utility>

#include "storage/cryptogram.h"
#include "storage/stored_file.h"

namespace storage {

ItemLists defaultItemLists() {
    return ItemLists{{kDefaultTitle}, {kDefaultKeyCode}};
}

void padToSameLength(ItemLists& lists) {
    const std::size_t count = std::max(lists.titles.size(), lists.keyCodes.size());
    lists.titles.resize(count);
    lists.keyCodes.resize(count);
}

ProgramFiles::ProgramFiles(platform::FileSystem& fs, platform::Path folder)
    : fs_(fs), folder_(std::move(folder)) {}

platform::Path ProgramFiles::file(const std::string& name) const {
    return folder_ / name;
}

platform::Path ProgramFiles::settingsPath() const {
    return file("defpts.ini");
}

platform::Path ProgramFiles::titlePath(int group) const {
    return file("defpti" + std::to_string(group) + ".ini");
}

platform::Path ProgramFiles::keyCodePath(int group) const {
    return file("defptd" + std::to_string(group) + ".ini");
}

platform::Path ProgramFiles::titleBackupPath() const {
    return file("defpti.bak");
}

platform::Path ProgramFiles::keyCodeBackupPath() const {
    return file("defptd.bak");
}

bool ProgramFiles::settingsExist() {
    return fs_.exists(settingsPath());
}

std::vector<platform::Path> ProgramFiles::groupFiles(int group) const {
    const platform::Path title = titlePath(group);
    const platform::Path keyCodes = keyCodePath(group);
    return {pairProofPath(title), withExtension(keyCodes, ".$$$"), withExtension(title, ".$$$"),
            keyCodes, title};
}

bool ProgramFiles::groupExists(int group) {
    return fs_.exists(titlePath(group)) || fs_.exists(keyCodePath(group)) ||
           pairWriteWaits(fs_, titlePath(group), keyCodePath(group));
}

// The program never writes an empty settings file: one would start it behind
// an empty password.
void ProgramFiles::loadSettings(SettingsRecord& record) {
    record.replaceWithLoaded(readStoredLines(fs_, settingsPath(), WhenEmpty::Unreadable));
}

void ProgramFiles::saveSettings(const SettingsRecord& record) {
    writeStoredFile(fs_, settingsPath(), record.lines());
}

// Files of different lengths (edited by hand) are evened out.
ItemLists ProgramFiles::readGroup(int group) {
    finishInterruptedPair(fs_, titlePath(group), keyCodePath(group));
    ItemLists lists;
    lists.titles = readStoredLines(fs_, titlePath(group));
    lists.keyCodes = readStoredLines(fs_, keyCodePath(group));
    padToSameLength(lists);
    return lists;
}

Lines ProgramFiles::readTitlesInMemory(int group) {
    return readStoredLines(fs_, titlePath(group));
}

void ProgramFiles::writeGroup(int group, const ItemLists& lists) {
    writeStoredPair(fs_, titlePath(group), lists.titles, keyCodePath(group), lists.keyCodes);
}

// Both backups are looked at before either is written, so that an unreadable
// key code backup does not leave a new title backup beside it.
void ProgramFiles::writeBackups(const ItemLists& lists) {
    finishInterruptedPair(fs_, titleBackupPath(), keyCodeBackupPath());
    const bool titlesKept = holdsEncrypted(fs_, titleBackupPath(), lists.titles);
    const bool keyCodesKept = holdsEncrypted(fs_, keyCodeBackupPath(), lists.keyCodes);
    if (!titlesKept || !keyCodesKept) {
        writeStoredPair(fs_, titleBackupPath(), lists.titles, keyCodeBackupPath(), lists.keyCodes);
    }
}

std::vector<platform::Path> ProgramFiles::deleteAllGroups() {
    std::vector<platform::Path> kept;
    for (int group = 1; group <= kGroupCount; ++group) {
        for (const platform::Path& path : groupFiles(group)) {
            if (fs_.exists(path) && !fs_.remove(path)) {
                kept.push_back(path);
            }
        }
    }
    return kept;
}

}  // namespace storage
