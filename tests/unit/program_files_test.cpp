#include "storage/program_files.h"

#include <filesystem>
#include <map>
#include <optional>

#include "observed_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/stored_file.h"
#include "storage/strong_file.h"
#include "test_support.h"
#include "tests/support/file_cipher.h"

namespace {

using namespace test_support;
using storage::FileError;
using storage::ItemLists;
using storage::Lines;

bool isLocked(const Path& file) {
    const auto bytes = readBytes(file);
    return bytes && bytes->size() >= storage::kLockHeaderSize &&
           storage::readLockHeader(reinterpret_cast<const unsigned char*>(bytes->data())).key ==
               storage::kFileKey;
}

class ProgramFilesTest : public TempFolderTest {
protected:
    using Folder = std::map<std::string, std::string>;

    storage::ProgramFiles files() { return storage::ProgramFiles(fs_, folder()); }
    std::optional<Lines> storedLines(const char* name) {
        if (!std::filesystem::exists(path(name))) return std::nullopt;
        return storage::readStoredLines(fs_, path(name));
    }
    // Nothing while a write holds a file open, which Windows does not let others read.
    std::optional<Folder> folderNow() {
        std::optional<Folder> files = Folder{};
        for (const auto& entry : std::filesystem::directory_iterator(folder())) {
            const auto bytes = readBytes(entry.path());
            if (!bytes) return std::nullopt;
            (*files)[entry.path().filename().string()] = *bytes;
        }
        return files;
    }
    void restore(const Folder& files) {
        resetFolder();
        for (const auto& [name, bytes] : files) writeBytes(path(name), bytes);
    }
};

TEST_F(ProgramFilesTest, NamesEveryFileInTheProgramFolder) {
    auto program = files();
    EXPECT_EQ(program.settingsPath(), path("defpts.ini"));
    EXPECT_EQ(program.titlePath(2), path("defpti2.ini"));
    EXPECT_EQ(program.keyCodePath(3), path("defptd3.ini"));
    EXPECT_EQ(program.titleBackupPath(), path("defpti.bak"));
    EXPECT_EQ(program.keyCodeBackupPath(), path("defptd.bak"));
}

TEST_F(ProgramFilesTest, SavesTheSettingsEncryptedAndLoadsThemBack) {
    auto program = files();
    EXPECT_FALSE(program.settingsExist());
    program.saveSettings(storage::SettingsRecord::builtInDefaults());
    EXPECT_TRUE(program.settingsExist());
    EXPECT_TRUE(isLocked(program.settingsPath()));

    const auto stored = readBytes(program.settingsPath());

    storage::SettingsRecord record;
    program.loadSettings(record);
    EXPECT_EQ(record.lines().size(), 15u);
    EXPECT_EQ(record.line(9), "mulberry");
    EXPECT_EQ(record.line(13), "00010203");
    EXPECT_EQ(readBytes(program.settingsPath()), stored);
}

TEST_F(ProgramFilesTest, LoadsASettingsFileLeftPlainByAKilledRun) {
    writeBytes(path("defpts.ini"), "10\r\n20\r\n\r\n\r\n0\r\n1\r\n\r\n\r\n3\r\npw\r\n");
    storage::SettingsRecord record;
    files().loadSettings(record);
    EXPECT_EQ(record.line(0), "10");
    EXPECT_EQ(record.line(8), "1");
    EXPECT_EQ(record.line(9), "pw");
}

TEST_F(ProgramFilesTest, ReportsAMissingSettingsFileAsCannotOpen) {
    storage::SettingsRecord record = storage::SettingsRecord::builtInDefaults();
    EXPECT_THROW(files().loadSettings(record), FileError);
    EXPECT_EQ(record.lines(), storage::SettingsRecord::builtInDefaults().lines());
}

TEST_F(ProgramFilesTest, WritesAGroupEncryptedAndReadsItBackLeavingItEncrypted) {
    auto program = files();
    const ItemLists lists{{"mail", "---------------", "bank"}, {"pw1", "", "pw2"}};
    program.writeGroup(2, lists);
    EXPECT_TRUE(isLocked(program.titlePath(2)));
    EXPECT_TRUE(isLocked(program.keyCodePath(2)));
    EXPECT_TRUE(program.groupExists(2));
    EXPECT_FALSE(program.groupExists(1));
    const auto titles = readBytes(program.titlePath(2));
    const auto keyCodes = readBytes(program.keyCodePath(2));

    const ItemLists read = program.readGroup(2);
    EXPECT_EQ(read.titles, lists.titles);
    EXPECT_EQ(read.keyCodes, lists.keyCodes);
    EXPECT_EQ(readBytes(program.titlePath(2)), titles);
    EXPECT_EQ(readBytes(program.keyCodePath(2)), keyCodes);
}

TEST_F(ProgramFilesTest, PadsTheShorterListOfAGroupWithEmptyLines) {
    writeBytes(path("defpti1.ini"), "a\r\nb\r\nc\r\n");
    writeBytes(path("defptd1.ini"), "ka\r\n");
    ItemLists read = files().readGroup(1);
    EXPECT_EQ(read.titles, (Lines{"a", "b", "c"}));
    EXPECT_EQ(read.keyCodes, (Lines{"ka", "", ""}));

    writeBytes(path("defpti1.ini"), "");
    read = files().readGroup(1);
    EXPECT_EQ(read.titles, (Lines{""}));
    EXPECT_EQ(read.keyCodes, (Lines{"ka"}));
}

TEST_F(ProgramFilesTest, NamesTheFirstGroupFileThatCannotBeRead) {
    writeBytes(path("defpti1.ini"), "a\r\n");
    try {
        files().readGroup(1);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.kind(), FileError::Kind::CannotOpen);
        EXPECT_EQ(error.path(), path("defptd1.ini"));
    }
    // A key code file without its title file is a group stored once, and half gone.
    writeBytes(path("defptd3.ini"), "k\r\n");
    EXPECT_TRUE(files().groupExists(3));
    try {
        files().readGroup(3);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path("defpti3.ini"));
    }
}

TEST_F(ProgramFilesTest, WritesNoTitleFileWhenTheKeyCodeFileCannotBeCreated) {
    std::filesystem::create_directory(path("defptd1.ini"));
    try {
        files().writeGroup(1, ItemLists{{"t"}, {"k"}});
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.kind(), FileError::Kind::CannotCreate);
        EXPECT_EQ(error.path(), path("defptd1.ini"));
    }
    EXPECT_FALSE(std::filesystem::exists(path("defpti1.ini")));
    EXPECT_FALSE(std::filesystem::exists(path("defpti1.$$$")));
}

TEST_F(ProgramFilesTest, StopsWritingAGroupAtTheTitleFileThatCannotBeCreated) {
    std::filesystem::create_directory(path("defpti1.ini"));
    writeBytes(path("defptd1.ini"), "old\r\n");
    try {
        files().writeGroup(1, ItemLists{{"t"}, {"k"}});
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path("defpti1.ini"));
    }
    EXPECT_EQ(readBytes(path("defptd1.ini")), "old\r\n");
}

TEST_F(ProgramFilesTest, WritesTheBackupsEncrypted) {
    auto program = files();
    program.writeBackups(storage::defaultItemLists());
    EXPECT_TRUE(isLocked(program.titleBackupPath()));
    ASSERT_EQ(test_support::decipherFile(fs_, program.keyCodeBackupPath(), "qz", false),
              test_support::DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(program.keyCodeBackupPath()),
              std::string(storage::kDefaultKeyCode) + "\r\n");
}

// A normal start writes nothing, and a backup that cannot be read is kept.
TEST_F(ProgramFilesTest, RewritesTheBackupsOnlyWhenWhatTheyHoldWouldChangeOrLiesPlain) {
    auto program = files();
    ItemLists lists{{"mail", "bank"}, {"pw1", "pw2"}};
    writeBytes(path("defpti.bak"), storage::storedBytes(lists.titles, 1));
    writeBytes(path("defptd.bak"), storage::storedBytes(lists.keyCodes, 1));
    const auto titles = readBytes(path("defpti.bak"));
    const auto keyCodes = readBytes(path("defptd.bak"));
    program.writeBackups(lists);
    EXPECT_EQ(readBytes(path("defpti.bak")), titles);
    EXPECT_EQ(readBytes(path("defptd.bak")), keyCodes);

    lists.keyCodes[1] = "pw3";
    program.writeBackups(lists);
    EXPECT_EQ(storedLines("defptd.bak"), lists.keyCodes);

    writeBytes(path("defpti.bak"), storage::joinLines(lists.titles));
    program.writeBackups(lists);
    EXPECT_TRUE(isLocked(path("defpti.bak")));
    EXPECT_EQ(storedLines("defpti.bak"), lists.titles);

    const std::string otherKey = storage::encryptedBytes("pw\r\n", "other", 0);
    writeBytes(path("defptd.bak"), otherKey);
    const auto titlesNow = readBytes(path("defpti.bak"));
    try {
        program.writeBackups(ItemLists{{"new"}, {"new"}});
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.kind(), FileError::Kind::CannotOpen);
        EXPECT_EQ(error.path(), path("defptd.bak"));
    }
    EXPECT_EQ(readBytes(path("defpti.bak")), titlesNow);
    EXPECT_EQ(readBytes(path("defptd.bak")), otherKey);
}

// Whatever operation fails, the pair read back is the complete old or new one,
// a failed second replace puts the first file back, and nothing lies plain.
TEST_F(ProgramFilesTest, AGroupPairChangesTogetherOrNotAtAllWhateverStepFails) {
    const ItemLists old{{"mail", "bank"}, {"old1", "old2"}};
    const ItemLists next{{"mail", "bank", "shop"}, {"new1", "new2", "new3"}};
    for (const bool oldPairThere : {true, false}) {
        int failures = 0;
        int restores = 0;
        for (int step = 0; step < 100 && !HasFailure(); ++step) {
            SCOPED_TRACE(std::to_string(oldPairThere) + ", failing operation " +
                         std::to_string(step));
            resetFolder();
            if (oldPairThere) files().writeGroup(1, old);
            ObservedFileSystem fs(fs_);
            bool titlesReplaced = false;
            fs.afterChange = [&] { titlesReplaced |= storedLines("defpti1.ini") == next.titles; };
            fs.failingOperation = step;
            bool failed = false;
            try {
                storage::ProgramFiles(fs, folder()).writeGroup(1, next);
            } catch (const FileError& error) {
                failed = error.kind() == FileError::Kind::CannotCreate;
            }
            const ItemLists* expected = failed ? (oldPairThere ? &old : nullptr) : &next;
            EXPECT_EQ(storedLines("defpti1.ini"),
                      expected ? std::optional(expected->titles) : std::nullopt);
            EXPECT_EQ(storedLines("defptd1.ini"),
                      expected ? std::optional(expected->keyCodes) : std::nullopt);
            for (const auto& entry : std::filesystem::directory_iterator(folder())) {
                const std::string name = entry.path().filename().string();
                if (failed) {
                    EXPECT_TRUE(name == "defpti1.ini" || name == "defptd1.ini") << name;
                }
                if (name != "defpti1.$ok") {
                    EXPECT_TRUE(isLocked(entry.path())) << name;
                }
            }
            if (!fs.faultInjected()) break;
            failures += failed ? 1 : 0;
            restores += failed && titlesReplaced ? 1 : 0;
        }
        EXPECT_GE(failures, 8);  // create, write, flush and replace of each file
        EXPECT_EQ(restores, 1);
    }
}

// A kill right after any change a pair write makes, also one whose step
// fails, then the next read, also with any one of its operations failing: the
// group reads as the complete old or new pair, or as nothing stored when there
// was none. A finishing move that fails leaves the group unreadable and
// changes nothing of what it will hold.
TEST_F(ProgramFilesTest, AReadGivesTheWholeOldOrNewPairWhereverAWriteWasKilled) {
    const auto readGroup = [&](platform::FileSystem& fs) {
        storage::ProgramFiles program(fs, folder());
        return program.groupExists(1) ? std::optional(program.readGroup(1)) : std::nullopt;
    };
    const ItemLists old{{"mail", "bank"}, {"old1", "old2"}};
    const ItemLists next{{"mail", "bank", "shop"}, {"new1", "new2", "new3"}};
    for (const bool oldPairThere : {true, false}) {
        int unfinished = 0;
        for (int writeFault = -1; writeFault < 100 && !HasFailure(); ++writeFault) {
            resetFolder();
            if (oldPairThere) files().writeGroup(1, old);
            std::vector<Folder> killedStates{*folderNow()};
            ObservedFileSystem writing(fs_);
            writing.failingOperation = writeFault;
            writing.afterChange = [&] {
                if (const auto now = folderNow()) killedStates.push_back(*now);
            };
            try {
                storage::ProgramFiles(writing, folder()).writeGroup(1, next);
            } catch (const FileError&) {
            }
            for (std::size_t kill = 0; kill < killedStates.size() && !HasFailure(); ++kill) {
                SCOPED_TRACE(std::to_string(oldPairThere) + ", failing write operation " +
                             std::to_string(writeFault) + ", killed after change " +
                             std::to_string(kill));
                restore(killedStates[kill]);
                const std::optional<ItemLists> holds = readGroup(fs_);
                EXPECT_TRUE(holds == (oldPairThere ? std::optional(old) : std::nullopt) ||
                            holds == next);
                for (int step = 0; writeFault < 0 && step < 100; ++step) {
                    restore(killedStates[kill]);
                    ObservedFileSystem failing(fs_);
                    failing.failingOperation = step;
                    try {
                        EXPECT_TRUE(readGroup(failing) == holds) << "failing operation " << step;
                    } catch (const FileError& error) {
                        EXPECT_EQ(error.kind(), FileError::Kind::CannotOpen);
                        unfinished += std::filesystem::exists(path("defptd1.$$$")) ? 1 : 0;
                        EXPECT_TRUE(readGroup(fs_) == holds) << "failing operation " << step;
                    }
                    if (!failing.faultInjected()) break;
                }
            }
            if (writeFault >= 0 && !writing.faultInjected()) break;
        }
        EXPECT_GE(unfinished, 1);  // a failed finishing move keeps what waits
    }
}

// Replacements that no proof shows complete are never moved into place: one
// cut off while it was written, dated as the title file in place (two writes
// within the 2 seconds a date tells apart, or a clock before 1980), or beside
// a title file left plain, which carries no date at all.
TEST_F(ProgramFilesTest, AReadMovesNoReplacementWithoutAProofThatHolds) {
    const std::uint32_t date = 0x5A210000;
    const std::string cut = storage::storedBytes({"new1", "new2"}, date).substr(0, 50);
    const struct {
        const char* what;
        std::string titles, keyCodes, waitingKeyCodes;
    } cases[] = {
        {"same date", storage::storedBytes({"mail"}, date), storage::storedBytes({"old1"}, date),
         cut},
        {"dates of a clock before 1980", storage::storedBytes({"mail"}, 0),
         storage::storedBytes({"old1"}, 0), storage::storedBytes({"new1", "new2"}, 0)},
        {"plain", "mail\r\n", "old1\r\n", "new1\r\nnew2\r\n"},
    };
    for (const auto& c : cases) {
        writeBytes(path("defpti1.ini"), c.titles);
        writeBytes(path("defptd1.ini"), c.keyCodes);
        writeBytes(path("defptd1.$$$"), c.waitingKeyCodes);
        EXPECT_EQ(files().readGroup(1).keyCodes, Lines{"old1"}) << c.what;
        EXPECT_EQ(readBytes(path("defptd1.$$$")), c.waitingKeyCodes) << c.what;
    }
}

TEST_F(ProgramFilesTest, DeletesTheGroupFilesKeyCodesFirstAndSkipsMissingOnes) {
    for (const char* name : {"defptd1.ini", "defpti2.ini", "defptd3.ini", "defpti3.ini",
                             "defpti.bak", "defptd.bak", "defpts.ini"}) {
        writeBytes(path(name), "x");
    }
    ObservedFileSystem observed(fs_);
    EXPECT_TRUE(storage::ProgramFiles(observed, folder()).deleteAllGroups().empty());

    EXPECT_EQ(observed.removed, (std::vector<std::string>{"defptd1.ini", "defpti2.ini",
                                                          "defptd3.ini", "defpti3.ini"}));
    for (const char* name : {"defptd1.ini", "defpti2.ini", "defptd3.ini", "defpti3.ini"}) {
        EXPECT_FALSE(std::filesystem::exists(path(name))) << name;
    }
    for (const char* name : {"defpti.bak", "defptd.bak", "defpts.ini"}) {
        EXPECT_TRUE(std::filesystem::exists(path(name))) << name;
    }
}

TEST_F(ProgramFilesTest, GivesTheGroupFilesThatCouldNotBeDeleted) {
    writeBytes(path("defptd1.ini"), "x");
    writeBytes(path("defpti1.ini"), "x");
    ObservedFileSystem observed(fs_);
    observed.failingOperation = 1;
    EXPECT_EQ(storage::ProgramFiles(observed, folder()).deleteAllGroups(),
              std::vector<Path>{path("defpti1.ini")});
    EXPECT_TRUE(std::filesystem::exists(path("defpti1.ini")));
}

// The strong format, with a small PBKDF2 count where the count is not the point.
class StrongFilesTest : public ProgramFilesTest {
protected:
    static constexpr std::uint32_t kIterations = 3;
    const ItemLists group1{{"mail", "bank"}, {"pw1", "pw2"}};
    const ItemLists group3{{"shop"}, {"pw3"}};

    storage::ProgramFiles strong() { return storage::ProgramFiles(fs_, folder(), kIterations); }
    storage::SettingsRecord settingsWith(const char* password) {
        storage::SettingsRecord record = storage::SettingsRecord::builtInDefaults();
        record.setLine(storage::settings_line::kPassword, password);
        return record;
    }
    // Settings, groups 1 and 3 and the backups, in the classic format.
    void storeClassic() {
        auto program = files();
        program.saveSettings(settingsWith("pw"));
        program.writeGroup(1, group1);
        program.writeGroup(3, group3);
        program.writeBackups(group1);
    }
    // What a start reads in the format on disk, unlocked with the password;
    // every file must be in that format. Nothing when it does not unlock.
    std::optional<std::vector<ItemLists>> startWith(const std::string& password) {
        auto program = strong();
        const storage::StoredFormat format = program.formatOnDisk();
        if (format == storage::StoredFormat::Strong && !program.unlock(password)) {
            return std::nullopt;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.ends_with(".ini") || name.ends_with(".bak")) << name << " was left";
            EXPECT_EQ(storage::isStrongFile(readBytes(entry.path()).value_or("")),
                      format == storage::StoredFormat::Strong)
                << name;
        }
        storage::SettingsRecord record;
        program.loadSettings(record);
        EXPECT_EQ(record.line(storage::settings_line::kPassword), password);
        EXPECT_FALSE(program.groupExists(2));
        program.writeBackups(group1);  // unchanged: nothing written
        return std::vector<ItemLists>{program.readGroup(1), program.readGroup(3)};
    }
};

TEST_F(StrongFilesTest, SwitchesEveryFileBothWaysAndRewrapsTheKeyForANewPassword) {
    storeClassic();
    const std::vector<ItemLists> stored{group1, group3};
    {
        auto program = strong();
        EXPECT_EQ(program.formatOnDisk(), storage::StoredFormat::Classic);
        EXPECT_TRUE(
            program.switchFormat(storage::StoredFormat::Strong, settingsWith("pw"), "pw").empty());
        EXPECT_EQ(program.format(), storage::StoredFormat::Strong);
        EXPECT_EQ(program.readGroup(1), group1);
    }
    const std::optional<Folder> switched = folderNow();
    EXPECT_EQ(startWith("wrong"), std::nullopt);
    EXPECT_EQ(folderNow(), switched) << "a wrong password changed a file";
    EXPECT_EQ(startWith("pw"), stored);
    EXPECT_EQ(folderNow(), switched) << "a start changed a file";

    {  // locked, nothing is read; a new password reaches only the settings file
        auto program = strong();
        EXPECT_THROW(program.readGroup(1), FileError);
        ASSERT_TRUE(program.unlock("pw"));
        program.forgetKey();
        EXPECT_THROW(program.readGroup(1), FileError);
        ASSERT_TRUE(program.unlock("pw"));
        program.saveSettings(settingsWith("new"));
    }
    Folder rewrapped = *folderNow();
    EXPECT_NE(rewrapped["defpts.ini"], switched->at("defpts.ini"));
    rewrapped["defpts.ini"] = switched->at("defpts.ini");
    EXPECT_EQ(rewrapped, switched);
    EXPECT_EQ(startWith("pw"), std::nullopt);
    EXPECT_EQ(startWith("new"), stored);

    writeBytes(path("defptd3.ini"), std::string("garbage\0", 8));
    {
        auto program = strong();
        ASSERT_TRUE(program.unlock("new"));
        EXPECT_EQ(program.switchFormat(storage::StoredFormat::Classic, settingsWith("new"), "new"),
                  std::vector<Path>{path("defptd3.ini")});
    }
    EXPECT_EQ(readBytes(path("defptd3.ini")), std::string("garbage\0", 8));
    EXPECT_EQ(files().formatOnDisk(), storage::StoredFormat::Classic);
    EXPECT_EQ(files().readGroup(1), group1);
    EXPECT_TRUE(isLocked(path("defpti3.ini")));
}

// A kill right after any change the switch makes, also one whose step fails:
// the next start finishes it or rolls it back, and finds every file in one
// format with its content.
TEST_F(StrongFilesTest, AStartFindsAllOfTheSwitchOrNoneWhereverItWasKilled) {
    for (const auto target : {storage::StoredFormat::Strong, storage::StoredFormat::Classic}) {
        int finished = 0;
        int rolledBack = 0;
        resetFolder();
        storeClassic();
        if (target == storage::StoredFormat::Classic) {
            strong().switchFormat(storage::StoredFormat::Strong, settingsWith("pw"), "pw");
        }
        const Folder before = *folderNow();
        // Back to the classic format goes the same way: killed only.
        const int faults = target == storage::StoredFormat::Strong ? 200 : 0;
        for (int writeFault = -1; writeFault < faults && !HasFailure(); ++writeFault) {
            restore(before);
            std::vector<Folder> killedStates{before};
            ObservedFileSystem writing(fs_);
            writing.failingOperation = writeFault;
            // Before its fault, a write goes as the one without.
            writing.afterChange = [&] {
                if (writeFault >= 0 && !writing.faultInjected()) return;
                if (const auto now = folderNow()) killedStates.push_back(*now);
            };
            std::vector<Path> leftAlone;
            try {
                storage::ProgramFiles program(writing, folder(), kIterations);
                if (program.formatOnDisk() == storage::StoredFormat::Strong) program.unlock("pw");
                leftAlone = program.switchFormat(target, settingsWith("pw"), "pw");
            } catch (const FileError&) {
            }
            // A file that failed to be read stays in the old format, as reported.
            for (std::size_t kill = 0;
                 leftAlone.empty() && kill < killedStates.size() && !HasFailure(); ++kill) {
                SCOPED_TRACE(std::to_string(writeFault) + ", killed after change " +
                             std::to_string(kill));
                restore(killedStates[kill]);
                EXPECT_EQ(startWith("pw"), (std::vector<ItemLists>{group1, group3}));
                (strong().formatOnDisk() == target ? finished : rolledBack) += 1;
            }
            if (writeFault >= 0 && !writing.faultInjected()) break;
        }
        EXPECT_GE(finished, 8);    // a kill after each move, with the proof left
        EXPECT_GE(rolledBack, 8);  // after each replacement prepared
    }
}

}  // namespace
