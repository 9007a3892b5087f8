#include "storage/program_files.h"

#include <algorithm>
#include <utility>

#include "storage/cryptogram.h"
#include "storage/errors.h"

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

bool ProgramFiles::groupExists(int group) {
    return fs_.exists(titlePath(group));
}

// A file that is not encrypted with the key is left as it is and read as plain
// text, which is how a file left plain by a killed run comes back.
void ProgramFiles::loadSettings(SettingsRecord& record) {
    DecipherFile(fs_, settingsPath(), kFileKey, false);
    record.replaceWithLoaded(readLineFile(fs_, settingsPath()));
}

void ProgramFiles::saveSettings(const SettingsRecord& record) {
    writeLineFile(fs_, settingsPath(), record.lines());
    CipherFile(fs_, settingsPath(), kFileKey, false);
}

// Files of different lengths (edited by hand) are evened out.
ItemLists ProgramFiles::readGroup(int group) {
    DecipherFile(fs_, titlePath(group), kFileKey, false);
    DecipherFile(fs_, keyCodePath(group), kFileKey, false);
    ItemLists lists;
    lists.titles = readLineFile(fs_, titlePath(group));
    lists.keyCodes = readLineFile(fs_, keyCodePath(group));
    padToSameLength(lists);
    return lists;
}

Lines ProgramFiles::readTitlesInMemory(int group) {
    return splitLines(decipheredBytes(readFileBytes(fs_, titlePath(group)), kFileKey));
}

void ProgramFiles::writeGroup(int group, const ItemLists& lists) {
    writeAndEncrypt(titlePath(group), lists.titles, keyCodePath(group), lists.keyCodes);
}

void ProgramFiles::writeBackups(const ItemLists& lists) {
    writeAndEncrypt(titleBackupPath(), lists.titles, keyCodeBackupPath(), lists.keyCodes);
}

std::vector<platform::Path> ProgramFiles::deleteAllGroups() {
    std::vector<platform::Path> kept;
    for (int group = 1; group <= kGroupCount; ++group) {
        for (const platform::Path& path : {keyCodePath(group), titlePath(group)}) {
            if (fs_.exists(path) && !fs_.remove(path)) {
                kept.push_back(path);
            }
        }
    }
    return kept;
}

void ProgramFiles::writeAndEncrypt(const platform::Path& first, const Lines& firstLines,
                                   const platform::Path& second, const Lines& secondLines) {
    writeLineFile(fs_, first, firstLines);
    writeLineFile(fs_, second, secondLines);
    CipherFile(fs_, first, kFileKey, false);
    CipherFile(fs_, second, kFileKey, false);
}

}  // namespace storage
