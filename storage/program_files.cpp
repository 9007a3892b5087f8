#include "storage/program_files.h"

#include <algorithm>
#include <utility>

#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/stored_file.h"
#include "storage/strong_file.h"

namespace storage {

ItemLists defaultItemLists() {
    return ItemLists{{kDefaultTitle}, {kDefaultKeyCode}};
}

void padToSameLength(ItemLists& lists) {
    const std::size_t count = std::max(lists.titles.size(), lists.keyCodes.size());
    lists.titles.resize(count);
    lists.keyCodes.resize(count);
}

ProgramFiles::ProgramFiles(platform::FileSystem& fs, platform::Path folder,
                           std::uint32_t iterations)
    : fs_(fs), folder_(std::move(folder)), iterations_(iterations) {}

ProgramFiles::~ProgramFiles() = default;

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
    settleSwitch();
    return fs_.exists(settingsPath());
}

std::vector<platform::Path> ProgramFiles::groupFiles(int group) const {
    const platform::Path title = titlePath(group);
    const platform::Path keyCodes = keyCodePath(group);
    return {pairProofPath(title), withExtension(keyCodes, ".$$$"), withExtension(title, ".$$$"),
            keyCodes, title};
}

bool ProgramFiles::groupExists(int group) {
    settleSwitch();
    return fs_.exists(titlePath(group)) || fs_.exists(keyCodePath(group)) ||
           pairWriteWaits(fs_, titlePath(group), keyCodePath(group));
}

// The program never writes an empty settings file: one would start it behind
// an empty password.
void ProgramFiles::loadSettings(SettingsRecord& record) {
    settleSwitch();
    record.replaceWithLoaded(
        readStoredLines(fs_, settingsPath(), WhenEmpty::Unreadable, sealing()));
}

// The key block is derived anew only when the password changed.
void ProgramFiles::saveSettings(const SettingsRecord& record) {
    Sealing settings = settingsSealing();
    const std::string& password = record.line(settings_line::kPassword);
    const bool rewrap =
        format_ == StoredFormat::Strong && !dataKey_.empty() &&
        !std::equal(password.begin(), password.end(), wrappedUnder_.begin(), wrappedUnder_.end());
    if (rewrap) settings.keyBlock = wrapDataKey(dataKey_, password, iterations_);
    writeStoredFile(fs_, settingsPath(), record.lines(), settings);
    if (rewrap) {
        keyBlock_ = std::move(settings.keyBlock);
        wrappedUnder_.assign(password.begin(), password.end());
    }
}

// Files of different lengths (edited by hand) are evened out.
ItemLists ProgramFiles::readGroup(int group) {
    settleSwitch();
    finishInterruptedPair(fs_, titlePath(group), keyCodePath(group));
    ItemLists lists;
    lists.titles = readStoredLines(fs_, titlePath(group), WhenEmpty::Readable, sealing());
    lists.keyCodes = readStoredLines(fs_, keyCodePath(group), WhenEmpty::Readable, sealing());
    padToSameLength(lists);
    return lists;
}

Lines ProgramFiles::readTitlesInMemory(int group) {
    settleSwitch();
    return readStoredLines(fs_, titlePath(group), WhenEmpty::Readable, sealing());
}

void ProgramFiles::writeGroup(int group, const ItemLists& lists) {
    writeStoredPair(fs_, titlePath(group), lists.titles, keyCodePath(group), lists.keyCodes,
                    sealing());
}

// Both backups are looked at before either is written, so that an unreadable
// key code backup does not leave a new title backup beside it.
void ProgramFiles::writeBackups(const ItemLists& lists) {
    settleSwitch();
    finishInterruptedPair(fs_, titleBackupPath(), keyCodeBackupPath());
    const bool titlesKept = holdsEncrypted(fs_, titleBackupPath(), lists.titles, sealing());
    const bool keyCodesKept = holdsEncrypted(fs_, keyCodeBackupPath(), lists.keyCodes, sealing());
    if (!titlesKept || !keyCodesKept) {
        writeStoredPair(fs_, titleBackupPath(), lists.titles, keyCodeBackupPath(), lists.keyCodes,
                        sealing());
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

platform::Path ProgramFiles::switchProofPath() const {
    return pairProofPath(settingsPath());
}

// The settings first: once it has moved, the next start reads in the new
// format.
std::vector<platform::Path> ProgramFiles::switchedFiles() const {
    std::vector<platform::Path> files{settingsPath()};
    for (int group = 1; group <= kGroupCount; ++group) {
        files.push_back(titlePath(group));
        files.push_back(keyCodePath(group));
    }
    files.push_back(titleBackupPath());
    files.push_back(keyCodeBackupPath());
    return files;
}

void ProgramFiles::settleSwitch() {
    settleWriteTogether(fs_, switchProofPath(), switchedFiles());
}

Sealing ProgramFiles::sealing() const {
    Sealing sealing;
    sealing.format = format_;
    if (!dataKey_.empty()) sealing.dataKey = &dataKey_;
    return sealing;
}

Sealing ProgramFiles::settingsSealing() const {
    Sealing settings = sealing();
    settings.keyBlock = keyBlock_;
    return settings;
}

StoredFormat ProgramFiles::formatOnDisk() {
    settleSwitch();
    if (!fs_.exists(settingsPath())) return StoredFormat::Classic;
    const std::optional<std::string> bytes = readWholeFile(fs_, settingsPath(), kLargestStoredFile);
    if (!bytes) raiseCannotOpen(settingsPath());
    return isStrongFile(*bytes) ? StoredFormat::Strong : StoredFormat::Classic;
}

bool ProgramFiles::unlock(const std::string& password) {
    settleSwitch();
    const std::optional<std::string> bytes = readWholeFile(fs_, settingsPath(), kLargestStoredFile);
    if (!bytes) return false;
    std::optional<std::string> keyBlock = keyBlockOf(*bytes);
    if (!keyBlock) return false;
    std::optional<platform::SecretBytes> dataKey = unwrapDataKey(*keyBlock, password);
    if (!dataKey) return false;
    format_ = StoredFormat::Strong;
    dataKey_ = std::move(*dataKey);
    keyBlock_ = std::move(*keyBlock);
    wrappedUnder_.assign(password.begin(), password.end());
    return true;
}

void ProgramFiles::forgetKey() {
    dataKey_.clear();
    dataKey_.shrink_to_fit();
    wrappedUnder_.clear();
    wrappedUnder_.shrink_to_fit();
}

// The group files and backups are read in this run's format; one that is
// not there or cannot be read (then named in `unreadable`) gets no bytes.
std::optional<std::string> ProgramFiles::switchedBytes(const platform::Path& path,
                                                       const SettingsRecord& settings,
                                                       const Sealing& next,
                                                       std::vector<platform::Path>& unreadable) {
    Lines lines;
    if (path == settingsPath()) {
        lines = settings.lines();
    } else if (!fs_.exists(path)) {
        return std::nullopt;
    } else {
        try {
            lines = readStoredLines(fs_, path, WhenEmpty::Readable, sealing());
        } catch (const FileError&) {
            unreadable.push_back(path);
            return std::nullopt;
        }
    }
    if (!fitsInStoredFile(lines, next)) raiseCannotCreate(path);
    return storedBytes(lines, fs_.nowDosTime(), next, path);
}

// Every replacement is prepared before any of them moves.
std::vector<platform::Path> ProgramFiles::switchFormat(StoredFormat target,
                                                       const SettingsRecord& settings,
                                                       const std::string& password) {
    // Locked, the strong files could not be read, and their key would be lost.
    if (format_ == StoredFormat::Strong && dataKey_.empty()) raiseCannotCreate(settingsPath());
    settleSwitch();
    finishInterruptedPair(fs_, titleBackupPath(), keyCodeBackupPath());
    for (int group = 1; group <= kGroupCount; ++group) {
        finishInterruptedPair(fs_, titlePath(group), keyCodePath(group));
    }
    platform::SecretBytes newKey;
    Sealing next;
    next.format = target;
    std::string keyBlock;
    if (target == StoredFormat::Strong) {
        newKey = newDataKey();
        next.dataKey = &newKey;
        keyBlock = wrapDataKey(newKey, password, iterations_);
    }
    std::vector<Replacement> files;
    std::vector<platform::Path> unreadable;
    for (const platform::Path& path : switchedFiles()) {
        Sealing sealing = next;
        if (path == settingsPath()) sealing.keyBlock = keyBlock;
        files.push_back({path, switchedBytes(path, settings, sealing, unreadable)});
    }
    // An empty proof first: a switch cut off before its proof is complete is
    // then rolled back with every replacement it left.
    if (!fs_.createFile(switchProofPath())) raiseCannotCreate(settingsPath());
    try {
        writeTogether(fs_, switchProofPath(), files);
    } catch (const FileError&) {
        // Still empty, the proof shows that nothing moved.
        if (readWholeFile(fs_, switchProofPath(), 0)) fs_.remove(switchProofPath());
        throw;
    }
    format_ = target;
    dataKey_ = std::move(newKey);
    keyBlock_ = std::move(keyBlock);
    wrappedUnder_.clear();
    if (target == StoredFormat::Strong) wrappedUnder_.assign(password.begin(), password.end());
    return unreadable;
}

}  // namespace storage
