// The files the program keeps in its folder, and the whole-file operations on
// them: every stored file stays encrypted on disk; it is decrypted in memory
// when read, and written encrypted in one replacing move.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "storage/line_file.h"
#include "storage/settings_record.h"

namespace storage {

// The parallel title and key code lists of one group; line i of one belongs
// to line i of the other.
struct ItemLists {
    Lines titles;
    Lines keyCodes;
    bool operator==(const ItemLists&) const = default;
};

inline constexpr int kGroupCount = 3;
// Model texts are code page 932 bytes: "タイトル" and "キーコード".
inline constexpr const char* kDefaultTitle = "\x83\x5e\x83\x43\x83\x67\x83\x8b";
inline constexpr const char* kDefaultKeyCode = "\x83\x4c\x81\x5b\x83\x52\x81\x5b\x83\x68";

// The default item of a group that has never been stored.
ItemLists defaultItemLists();

// Pads the shorter list with empty lines, so that both stay parallel and no
// line of the longer one is lost.
void padToSameLength(ItemLists& lists);

class ProgramFiles {
public:
    ProgramFiles(platform::FileSystem& fs, platform::Path folder);

    platform::FileSystem& fs() { return fs_; }
    const platform::Path& folder() const { return folder_; }
    platform::Path settingsPath() const;          // defpts.ini
    platform::Path titlePath(int group) const;    // defpti<N>.ini
    platform::Path keyCodePath(int group) const;  // defptd<N>.ini
    platform::Path titleBackupPath() const;       // defpti.bak
    platform::Path keyCodeBackupPath() const;     // defptd.bak

    // Every file of a group on disk: the proof and the replacements of an
    // unfinished write, the key code file, the title file.
    std::vector<platform::Path> groupFiles(int group) const;

    bool settingsExist();
    // Whether the group was ever stored: its title or key code file exists,
    // or a proven write of it waits to be finished.
    bool groupExists(int group);

    // Reads the settings file and loads it into the record. Throws FileError
    // (CannotOpen) when it is unreadable (see readStoredFile) or empty,
    // leaving the record as it was.
    void loadSettings(SettingsRecord& record);
    // Writes the record, encrypted. Throws FileError (CannotCreate), leaving
    // the old file.
    void saveSettings(const SettingsRecord& record);

    // Finishes a proven write of the pair that was cut off, then reads the
    // title file and the key code file; the shorter list is padded with empty
    // lines. Throws FileError (CannotOpen) naming the first file that cannot
    // be finished, is unreadable or is missing: a pair is read whole or not
    // at all.
    ItemLists readGroup(int group);
    // The group's titles. Throws FileError (CannotOpen) as readGroup does.
    Lines readTitlesInMemory(int group);
    // Writes the title file, then the key code file, both encrypted; the two
    // change together or not at all (see writeStoredPair). Throws FileError
    // (CannotCreate) naming the file that failed.
    void writeGroup(int group, const ItemLists& lists);
    // The start-up backups of group 1, written like a group only when what
    // they hold would change (or lies there plain). Throws FileError
    // (CannotOpen) naming a backup that is unreadable, which is then left as
    // it is, or (CannotCreate) as writeGroup does.
    void writeBackups(const ItemLists& lists);
    // Deletes the files of groups 1, 2 and 3 in turn, each in the order of
    // groupFiles (so defptd<N>.ini before defpti<N>.ini); missing files are
    // skipped. Gives the files that exist and could not be deleted.
    std::vector<platform::Path> deleteAllGroups();

private:
    platform::Path file(const std::string& name) const;

    platform::FileSystem& fs_;
    platform::Path folder_;
};

}  // namespace storage
