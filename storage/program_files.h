// The files the program keeps in its folder, and the whole-file operations on
// them: every stored file is written plain and then encrypted at once, and
// decrypted in place before it is read.
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

    bool settingsExist();
    bool groupExists(int group);  // its title file exists

    // Decrypts the settings file and loads it into the record.
    // Throws FileError when it cannot be read.
    void loadSettings(SettingsRecord& record);
    // Writes the record and encrypts it. Throws FileError (CannotCreate).
    void saveSettings(const SettingsRecord& record);

    // Decrypts the title file, then the key code file, and reads both; the
    // shorter list is padded with empty lines. Throws FileError (CannotOpen)
    // naming the first file that cannot be read.
    ItemLists readGroup(int group);
    // The group's titles as they read once decrypted, while the title file on
    // disk stays as it is. Throws FileError (CannotOpen).
    Lines readTitlesInMemory(int group);
    // Writes the title file, then the key code file, then encrypts them in
    // that order. Throws FileError (CannotCreate) naming the file that failed;
    // the steps after it do not run.
    void writeGroup(int group, const ItemLists& lists);
    // The start-up backups of group 1, written and encrypted.
    void writeBackups(const ItemLists& lists);
    // Deletes defptd<N>.ini then defpti<N>.ini for N = 1, 2, 3; missing files
    // are skipped. Gives the files that exist and could not be deleted.
    std::vector<platform::Path> deleteAllGroups();

private:
    platform::Path file(const std::string& name) const;
    void writeAndEncrypt(const platform::Path& first, const Lines& firstLines,
                         const platform::Path& second, const Lines& secondLines);

    platform::FileSystem& fs_;
    platform::Path folder_;
};

}  // namespace storage
