#include "storage/line_file.h"

#include <filesystem>

#include "storage/errors.h"
#include "test_support.h"

namespace {

using storage::Lines;
using namespace std::string_literals;
using namespace test_support;

struct SplitCase {
    std::string bytes;
    Lines lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, EndsLinesAtCrLfLoneCrLoneLfAndTheFirstNul) {
    EXPECT_EQ(storage::splitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, SplitLines,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"a\rb\r", {"a", "b"}}, SplitCase{"a\nb\n", {"a", "b"}},
                      SplitCase{"a\r\nlast", {"a", "last"}}, SplitCase{"\r\n", {""}},
                      SplitCase{"a\r\n\r\nb", {"a", "", "b"}},
                      SplitCase{"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
                      SplitCase{"a\0b\r\nc"s, {"a"}}, SplitCase{"\0a\r\n"s, {}},
                      SplitCase{"a\r\0b"s, {"a"}}));

TEST(JoinLines, PutsCrLfAfterEveryLineAndNothingForAnEmptyList) {
    EXPECT_EQ(storage::joinLines({}), "");
    EXPECT_EQ(storage::joinLines({"a", ""}), "a\r\n\r\n");
}

class LineFile : public TempFolderTest {};

TEST_F(LineFile, KeepsBytesThatAreNoValidTextThroughWriteAndRead) {
    // A lone lead byte, bytes outside every code page 932 range, and Japanese text.
    const Lines lines = {"\x81", "\xFF\xFE\x80\xA0", "\x83\x5e\x83\x43\x83\x67\x83\x8b", ""};
    storage::writeLineFile(fs_, path("t.ini"), lines);
    EXPECT_EQ(readBytes(path("t.ini")), storage::joinLines(lines));
    EXPECT_EQ(storage::readLineFile(fs_, path("t.ini")), lines);
}

TEST_F(LineFile, StoresAnEmptyListAsZeroBytes) {
    writeBytes(path("t.ini"), "old\r\n");
    storage::writeLineFile(fs_, path("t.ini"), {});
    EXPECT_EQ(readBytes(path("t.ini")), "");
    EXPECT_TRUE(storage::readLineFile(fs_, path("t.ini")).empty());
}

TEST_F(LineFile, ReadsAFileLargerThanOneReadBuffer) {
    Lines lines(3000, "0123456789");
    writeBytes(path("t.ini"), storage::joinLines(lines));
    EXPECT_EQ(storage::readLineFile(fs_, path("t.ini")), lines);
}

TEST_F(LineFile, ReplacesALongerOldFileWholeAndLeavesNoTemporaryFile) {
    writeBytes(path("t.ini"), std::string(5000, 'x'));
    storage::writeLineFile(fs_, path("t.ini"), {"new"});
    EXPECT_EQ(readBytes(path("t.ini")), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(path("t.$$$")));
}

TEST_F(LineFile, ReportsAMissingFileAsCannotOpen) {
    try {
        storage::readLineFile(fs_, path("missing.ini"));
        FAIL() << "no error";
    } catch (const storage::FileError& error) {
        EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotOpen);
        EXPECT_EQ(error.path(), path("missing.ini"));
    }
}

TEST_F(LineFile, ReportsAPathThatCannotBeWrittenAsCannotCreateAndCleansUp) {
    std::filesystem::create_directory(path("t.ini"));
    try {
        storage::writeLineFile(fs_, path("t.ini"), {"a"});
        FAIL() << "no error";
    } catch (const storage::FileError& error) {
        EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotCreate);
        EXPECT_EQ(error.path(), path("t.ini"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(path("t.ini")));
    EXPECT_FALSE(std::filesystem::exists(path("t.$$$")));
}

#ifdef _WIN32
// On Windows a file without write permission is a read-only file, which the
// program must not replace, whatever the file system underneath allows.
TEST_F(LineFile, LeavesAReadOnlyFileAsItIs) {
    writeBytes(path("t.ini"), "old\r\n");
    std::filesystem::permissions(path("t.ini"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(storage::writeLineFile(fs_, path("t.ini"), {"new"}), storage::FileError);
    EXPECT_EQ(readBytes(path("t.ini")), "old\r\n");
    std::filesystem::permissions(path("t.ini"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}
#endif

TEST_F(LineFile, ReportsAMissingFolderAsCannotCreate) {
    EXPECT_THROW(storage::writeLineFile(fs_, path("no-such-folder") / "t.ini", {"a"}),
                 storage::FileError);
}

}  // namespace
