// Reading a group's titles from a decrypted copy in memory: the same titles as
// decrypting the file in place would give, with the file left as it was.
#include <string>

#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/program_files.h"
#include "test_support.h"

namespace {

using namespace test_support;
using storage::Lines;

class TitlesInMemoryTest : public TempFolderTest {
protected:
    storage::ProgramFiles files() { return storage::ProgramFiles(fs_, folder()); }

    std::string lockedWithKey(const std::string& plain, const std::string& key) {
        const Path scratch = path("scratch.ini");
        writeBytes(scratch, plain);
        EXPECT_TRUE(storage::CipherFile(fs_, scratch, key, false));
        return readBytes(scratch).value_or("");
    }

    // Reads group 1's titles in memory, checks that the file is untouched,
    // and compares with what decrypting it in place and reading it gives.
    Lines expectSameAsDecryptingInPlace(const std::string& stored) {
        const Path titles = path("defpti1.ini");
        writeBytes(titles, stored);
        const Lines inMemory = files().readTitlesInMemory(1);
        EXPECT_EQ(readBytes(titles), stored);

        storage::DecipherFile(fs_, titles, storage::kFileKey, false);
        EXPECT_EQ(inMemory, storage::readLineFile(fs_, titles));
        return inMemory;
    }
};

TEST_F(TitlesInMemoryTest, ReadsAnEncryptedTitleFileAndLeavesItEncrypted) {
    auto program = files();
    program.writeGroup(1, storage::ItemLists{{"mail", "---------------", "bank"}, {"a", "", "b"}});
    const auto stored = readBytes(program.titlePath(1));

    EXPECT_EQ(program.readTitlesInMemory(1), (Lines{"mail", "---------------", "bank"}));
    EXPECT_EQ(readBytes(program.titlePath(1)), stored);
}

TEST_F(TitlesInMemoryTest, GivesWhatDecryptingInPlaceGives) {
    std::string manyBlocks;
    for (int i = 0; i < 300; ++i) manyBlocks += "title " + std::to_string(i) + "\r\n";
    ASSERT_GT(manyBlocks.size(), 2 * storage::kCipherBlockSize);

    struct Case {
        const char* what;
        std::string stored;
    };
    const Case cases[] = {
        {"encrypted over several blocks", lockedWithKey(manyBlocks, "qz")},
        {"encrypted, empty", lockedWithKey("", "qz")},
        {"left plain", "mail\r\nbank\r\n"},
        {"plain and shorter than a lock header", "a"},
        {"encrypted with another key", lockedWithKey("mail\r\n", "other")},
        // A lock header cut short still decrypts, to nothing.
        {"lock header only, cut short", lockedWithKey("", "qz").substr(0, 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectSameAsDecryptingInPlace(c.stored);
    }
    resetFolder();
    EXPECT_EQ(expectSameAsDecryptingInPlace(lockedWithKey(manyBlocks, "qz")).at(299), "title 299");
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
