#include "storage/group_rules.h"

#include "storage/errors.h"
#include "test_support.h"

namespace {

using namespace test_support;

TEST(GroupCycle, NextAndPreviousGoRoundAllThreeGroups) {
    EXPECT_EQ(storage::nextGroup(1), 2);
    EXPECT_EQ(storage::nextGroup(2), 3);
    EXPECT_EQ(storage::nextGroup(3), 1);
    EXPECT_EQ(storage::previousGroup(1), 3);
    EXPECT_EQ(storage::previousGroup(2), 1);
    EXPECT_EQ(storage::previousGroup(3), 2);
}

TEST(ExportNames, AppendToTheNameAsChosen) {
    EXPECT_EQ(storage::exportedTitlePath(Path("dir") / "keys"), Path("dir") / "keys.ini");
    EXPECT_EQ(storage::exportedKeyCodePath(Path("dir") / "keys"), Path("dir") / "keys_k.ini");
    EXPECT_EQ(storage::exportedTitlePath(Path("keys.ini")), Path("keys.ini.ini"));
    EXPECT_EQ(storage::exportedKeyCodePath(Path("keys.ini")), Path("keys.ini_k.ini"));
}

TEST(ExportNames, NeverAFileOfTheProgram) {
    const Path program = Path("C:") / "Tools" / "nemuroku";
    const struct {
        Path file;
        bool own;
    } cases[] = {
        {program / "defpti1.ini", true},
        {program / "DEFPTD3.INI", true},
        {program / "defpti_k.ini", true},
        {program / "defpti.bak", true},
        {program / "." / "defpts.ini", true},
        {program / "nemuroku.exe", true},
        {program / "keys.ini", false},
        {program / "my-defpti1.ini", false},
        {program / "sub" / "defpti1.ini", false},
        {Path("C:") / "Tools" / "defpti1.ini", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storage::isProgramFile(c.file, program), c.own) << c.file;
    }
}

TEST(ImportNames, FindTheKeyCodeFileOfAnyExportedName) {
    for (const char* chosen : {"keys", "keys.ini", "a.b"}) {
        const Path title = storage::exportedTitlePath(Path("dir") / chosen);
        EXPECT_EQ(storage::importedKeyCodePath(title),
                  storage::exportedKeyCodePath(Path("dir") / chosen))
            << chosen;
    }
    // Four characters go whatever they are.
    EXPECT_EQ(storage::importedKeyCodePath(Path("keys.txt")), Path("keys_k.ini"));
    EXPECT_EQ(storage::importedKeyCodePath(Path("ab")), Path("_k.ini"));
}

class ExportedPairTest : public TempFolderTest {};

TEST_F(ExportedPairTest, RoundTripsAsPlainTextAndPadsAShorterFile) {
    // Bytes that are not valid code page 932 come back unchanged.
    const storage::ItemLists lists{{"a", "", "\x81\x7f\xfd\xa0\x80"}, {"1", "2", "3"}};
    storage::writeExportedPair(fs_, path("pair"), lists);
    EXPECT_EQ(readBytes(path("pair_k.ini")), "1\r\n2\r\n3\r\n");
    const auto back = storage::readExportedPair(fs_, path("pair.ini"), path("pair_k.ini"));
    EXPECT_EQ(back.titles, lists.titles);
    EXPECT_EQ(back.keyCodes, lists.keyCodes);

    writeBytes(path("short_k.ini"), "x");
    const auto padded = storage::readExportedPair(fs_, path("pair.ini"), path("short_k.ini"));
    EXPECT_EQ(padded.keyCodes, (storage::Lines{"x", "", ""}));
}

TEST_F(ExportedPairTest, AMissingTitleFileCannotBeOpened) {
    writeBytes(path("pair_k.ini"), "x\r\n");
    try {
        storage::readExportedPair(fs_, path("pair.ini"), path("pair_k.ini"));
        FAIL() << "no error";
    } catch (const storage::FileError& error) {
        EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotOpen);
        EXPECT_EQ(error.path(), path("pair.ini"));
    }
}

}  // namespace
