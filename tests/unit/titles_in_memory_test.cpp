// Reading a group's titles for the settings window, with the file left as it
// was.
#include <string>

#include "storage/errors.h"
#include "storage/program_files.h"
#include "test_support.h"

namespace {

using namespace test_support;
using storage::Lines;

class TitlesInMemoryTest : public TempFolderTest {
protected:
    storage::ProgramFiles files() { return storage::ProgramFiles(fs_, folder()); }
};

TEST_F(TitlesInMemoryTest, ReadsAnEncryptedTitleFileAndLeavesItEncrypted) {
    auto program = files();
    program.writeGroup(1, storage::ItemLists{{"mail", "---------------", "bank"}, {"a", "", "b"}});
    const auto stored = readBytes(program.titlePath(1));

    EXPECT_EQ(program.readTitlesInMemory(1), (Lines{"mail", "---------------", "bank"}));
    EXPECT_EQ(readBytes(program.titlePath(1)), stored);
}

TEST_F(TitlesInMemoryTest, ReportsAMissingTitleFileAsCannotOpen) {
    try {
        files().readTitlesInMemory(1);
        FAIL() << "no error";
    } catch (const storage::FileError& error) {
        EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotOpen);
        EXPECT_EQ(error.path(), path("defpti1.ini"));
    }
}

}  // namespace
