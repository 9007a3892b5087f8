// The files the program keeps in its folder, and the whole-file operations on
// them: every stored file stays encrypted on disk; it is decrypted in memory
// when read, and written encrypted in one replacing move.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/crypto.h"
#include "platform/file_system.h"
#include "storage/line_file.h"
#include "storage/settings_record.h"
#include "storage/stored_file.h"

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
    // `iterations`: the PBKDF2 count with which a password wraps the data key
    // of the strong format (tests pass a small one).
    ProgramFiles(platform::FileSystem& fs, platform::Path folder,
                 std::uint32_t iterations = kStrongIterations);
    ~ProgramFiles();

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

    // Every call below that looks at the files on disk first finishes or
    // rolls back a format switch that was cut off (see switchFormat); it
    // throws FileError (CannotOpen) naming a file that this cannot replace.
    bool settingsExist();
    // Whether the group was ever stored: its title or key code file exists,
    // or a proven write of it waits to be finished.
    bool groupExists(int group);

    // Reads the settings file and loads it into the record. Throws FileError
    // (CannotOpen) when it is unreadable (see readStoredFile) or empty,
    // leaving the record as it was.
    void loadSettings(SettingsRecord& record);
    // Writes the record, encrypted. In the strong format a password that
    // differs from the one the data key is wrapped under rewraps it with a new
    // salt. Throws FileError (CannotCreate), leaving the old file.
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

    // The format of the settings file on disk: Strong when its header says
    // so; Classic when there is none or it is classic or plain. Finishes or
    // rolls back an interrupted format switch first, by its proof. Throws
    // FileError (CannotOpen) when the settings file cannot be read at all.
    StoredFormat formatOnDisk();
    // Strong format: derives the key-encryption key from the password with
    // the salt and count of the settings header and unwraps the data key,
    // which is kept for the run. false when it does not unwrap (a wrong
    // password, a damaged header): nothing is read, written or kept.
    bool unlock(const std::string& password);
    // The format this run reads and writes: Strong after an unlock or a
    // switch to it.
    StoredFormat format() const { return format_; }
    // Rewrites every stored file in `target` as one transaction: the settings
    // from `settings`, the group pairs and the backups as they lie on disk.
    // All replacements are prepared and flushed, a proof of all of them is
    // written, and only then do they move; a switch cut off is finished or
    // rolled back by the next formatOnDisk() or read. Strong: a fresh random
    // data key, wrapped under `password` with a new salt. Gives the group
    // files that cannot be read, which are left as they are. Throws FileError
    // (CannotCreate) naming the file that failed; then nothing has changed.
    std::vector<platform::Path> switchFormat(StoredFormat target, const SettingsRecord& settings,
                                             const std::string& password);
    // Wipes the data key; format() stays, and unlock() is needed again
    // before any stored file is read or written.
    void forgetKey();

private:
    platform::Path file(const std::string& name) const;
    platform::Path switchProofPath() const;
    std::vector<platform::Path> switchedFiles() const;
    // Finishes a proven switch, or removes the rest of one that is not proven.
    void settleSwitch();
    std::optional<std::string> switchedBytes(const platform::Path& path,
                                             const SettingsRecord& settings, const Sealing& next,
                                             std::vector<platform::Path>& unreadable);
    // How the stored files are read and written in this run's format.
    Sealing sealing() const;
    Sealing settingsSealing() const;

    platform::FileSystem& fs_;
    platform::Path folder_;
    std::uint32_t iterations_;
    StoredFormat format_ = StoredFormat::Classic;
    // Strong format only: the data key, the key block of the settings header
    // that wraps it, and the password it is wrapped under, so that a changed
    // password rewraps it at the next save of the settings.
    platform::SecretBytes dataKey_;
    std::string keyBlock_;
    platform::SecretBytes wrappedUnder_;
};

}  // namespace storage
