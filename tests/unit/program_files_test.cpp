#include "storage/program_files.h"

#include <filesystem>

#include "observed_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "test_support.h"

namespace {

using namespace test_support;
using storage::FileError;
using storage::ItemLists;
using storage::Lines;

bool isLocked(const Path& file) {
    const auto bytes = readBytes(file);
    return bytes && bytes->compare(0, 8, std::string("\x17\0LOCKED", 8)) == 0;
}

class ProgramFilesTest : public TempFolderTest {
  protected:
    storage::ProgramFiles files() { return storage::ProgramFiles(fs_, folder()); }
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

    storage::SettingsRecord record;
    program.loadSettings(record);
    EXPECT_EQ(record.lines().size(), 15u);
    EXPECT_EQ(record.line(9), "mulberry");
    EXPECT_EQ(record.line(13), "00010203");
    // Loading leaves the file plain until the next save.
    EXPECT_EQ(readBytes(program.settingsPath()),
              storage::joinLines(storage::SettingsRecord::builtInDefaults().lines()));
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

TEST_F(ProgramFilesTest, WritesAGroupEncryptedAndReadsItBackLeavingItPlain) {
    auto program = files();
    const ItemLists lists{{"mail", "---------------", "bank"}, {"pw1", "", "pw2"}};
    program.writeGroup(2, lists);
    EXPECT_TRUE(isLocked(program.titlePath(2)));
    EXPECT_TRUE(isLocked(program.keyCodePath(2)));
    EXPECT_TRUE(program.groupExists(2));
    EXPECT_FALSE(program.groupExists(1));

    const ItemLists read = program.readGroup(2);
    EXPECT_EQ(read.titles, lists.titles);
    EXPECT_EQ(read.keyCodes, lists.keyCodes);
    EXPECT_EQ(readBytes(program.titlePath(2)), storage::joinLines(lists.titles));
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
    try {
        files().readGroup(3);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path("defpti3.ini"));
    }
}

TEST_F(ProgramFilesTest, StopsWritingAGroupAtTheKeyCodeFileThatCannotBeCreated) {
    std::filesystem::create_directory(path("defptd1.ini"));
    try {
        files().writeGroup(1, ItemLists{{"t"}, {"k"}});
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.kind(), FileError::Kind::CannotCreate);
        EXPECT_EQ(error.path(), path("defptd1.ini"));
    }
    // The title file was written but its encryption, a later step, never ran.
    EXPECT_EQ(readBytes(path("defpti1.ini")), "t\r\n");
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
    ASSERT_EQ(storage::DecipherFile(fs_, program.keyCodeBackupPath(), "qz", false),
              storage::kDeciphered);
    EXPECT_EQ(readBytes(program.keyCodeBackupPath()),
              std::string(storage::kDefaultKeyCode) + "\r\n");
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

}  // namespace
