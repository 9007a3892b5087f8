// Every reader of outside bytes on one table of bad files: the settings, a
// group pair, an imported pair, the start-up backups and the clipboard text
// the add command pre-fills. Each row says what the user gets: the lines, or
// the file named as unreadable. No reader changes a stored file, except the
// backups, which are written anew from group 1 when they may be replaced.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "dialogs/rules/item_commands.h"
#include "observed_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/group_rules.h"
#include "storage/program_files.h"
#include "storage/stored_file.h"
#include "storage/strong_file.h"
#include "test_support.h"

namespace {

using namespace test_support;
using storage::Lines;

constexpr std::uint32_t kTime = dosTime(2024, 5, 6, 7, 8, 10);

struct BadFile {
    const char* what;
    std::string bytes;
    // What the program's own readers give; nothing: the file is named as unreadable.
    std::optional<Lines> stored;
    // What import gives: it reads plain text only.
    std::optional<Lines> imported;
    // The key code field after the add command with these bytes as clipboard text.
    std::string prefill;
    // The settings file holds what the program stored, and it never stores it empty.
    bool settingsRefused = false;
};

Lines numberedLines(int count) {
    Lines lines;
    for (int i = 1; i <= count; ++i) lines.push_back("item " + std::to_string(i));
    return lines;
}

std::vector<BadFile> badFiles() {
    const std::string header = storage::encryptedBytes("", storage::kFileKey, kTime);
    const std::string locked =
        storage::encryptedBytes("mail\r\nbank\r\n", storage::kFileKey, kTime);
    const std::string tooLarge(storage::kLargestStoredFile + 1, 'a');
    std::string everyByte;  // but NUL, CR and LF
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n') everyByte += static_cast<char>(c);
    const std::string longLine(10000, 'x');
    const Lines lockMarker{"\x17"};  // the NUL after it ends plain text
    std::string damagedMarker = locked;
    damagedMarker[0] = '\x18';
    // Stored with CR LF, 600,000 line ends make more than the largest stored file.
    const std::string lineEnds(600000, '\n');
    const platform::SecretBytes key = storage::newDataKey();
    const std::string strongFile =
        storage::storedBytes({"mail"}, kTime, storage::Sealing::strong(&key), "defpti1.ini");

    return {
        {"0-byte file", "", Lines{}, Lines{}, "", true},
        {"lock header only", header, Lines{}, lockMarker, "\x17", true},
        {"lock marker with its first byte changed", damagedMarker, std::nullopt, Lines{"\x18"},
         "\x18"},
        {"header and content cut mid-line", locked.substr(0, 51), Lines{"mail", "b"}, lockMarker,
         "\x17"},
        {"cut inside its lock header", header.substr(0, 40), std::nullopt, lockMarker, "\x17"},
        {"over the size limit", tooLarge, std::nullopt, std::nullopt, tooLarge},
        {"binary garbage", everyByte, Lines{everyByte}, Lines{everyByte}, everyByte},
        {"code page 932 lead bytes at line ends", "abc\x83\r\n\x81\r\nnext\r\n",
         Lines{"abc\x83", "\x81", "next"}, Lines{"abc\x83", "\x81", "next"}, "abc\x83"},
        {"10,000-byte line", longLine + "\r\nnext", Lines{longLine, "next"},
         Lines{longLine, "next"}, longLine},
        {"NUL in the middle", std::string("one\r\ntw\0o\r\nthree\r\n", 18), std::nullopt,
         Lines{"one", "tw"}, "one"},
        {"600,000 LF line ends", lineEnds, Lines(600000), std::nullopt, ""},
        {"CR-only line ends", "one\rtwo\rthree\r", Lines{"one", "two", "three"},
         Lines{"one", "two", "three"}, "one"},
        {"in the strong format", strongFile, std::nullopt, lockMarker, "\x17"},
        {"31 lines where 30 are allowed", storage::joinLines(numberedLines(31)), numberedLines(31),
         numberedLines(31), "item 1"},
    };
}

std::optional<Lines> asLoadedSettings(const std::optional<Lines>& lines) {
    if (!lines) return std::nullopt;
    storage::SettingsRecord record;
    record.replaceWithLoaded(*lines);
    return record.lines();
}

std::wstring widened(const std::string& bytes) {
    std::wstring text;
    for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

class BadInput : public TempFolderTest {
protected:
    using Files = std::map<Path, std::string>;

    Files folderBytes() const {
        Files files;
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            files[entry.path()] = *readBytes(entry.path());
        return files;
    }
    // Puts the bad bytes in every named file and runs a reader on them: it
    // gives lines, or names the first file as unreadable and changes nothing.
    // Only a reader that `writes` may change files when it gives lines.
    std::optional<Lines> read(const std::vector<const char*>& names, const std::string& bytes,
                              const std::function<Lines()>& reader, bool writes = false) {
        resetFolder();
        for (const char* name : names) writeBytes(path(name), bytes);
        const Files before = folderBytes();
        int changes = 0;
        observed_.afterChange = [&changes] { ++changes; };
        std::optional<Lines> lines;
        try {
            lines = reader();
        } catch (const storage::FileError& error) {
            EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotOpen);
            EXPECT_EQ(error.path(), path(names.front()));
        }
        if (!lines || !writes) {
            EXPECT_EQ(changes, 0);
            EXPECT_TRUE(folderBytes() == before) << "a stored file changed";
        }
        return lines;
    }
    Lines readParallel(const std::function<storage::ItemLists()>& reader) {
        const storage::ItemLists lists = reader();
        EXPECT_EQ(lists.keyCodes, lists.titles);
        return lists.titles;
    }

    ObservedFileSystem observed_{fs_};
};

TEST_F(BadInput, EveryReaderGivesTheLinesOrNamesTheFileAndChangesNothing) {
    const storage::ItemLists group1{{"mail"}, {"pw"}};
    storage::ProgramFiles files(observed_, folder());
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.what);
        // An unreadable settings file ends the start with its name shown.
        storage::SettingsRecord record = storage::SettingsRecord::builtInDefaults();
        EXPECT_EQ(read({"defpts.ini"}, bad.bytes,
                       [&] {
                           files.loadSettings(record);
                           return record.lines();
                       }),
                  asLoadedSettings(bad.settingsRefused ? std::nullopt : bad.stored));
        if (!bad.stored || bad.settingsRefused) {
            EXPECT_EQ(record.lines(), storage::SettingsRecord::builtInDefaults().lines());
        }

        EXPECT_EQ(read({"defpti1.ini", "defptd1.ini"}, bad.bytes,
                       [&] { return readParallel([&] { return files.readGroup(1); }); }),
                  bad.stored);

        EXPECT_EQ(read({"pair.ini", "pair_k.ini"}, bad.bytes,
                       [&] {
                           return readParallel([&] {
                               return storage::readExportedPair(observed_, path("pair.ini"),
                                                                path("pair_k.ini"));
                           });
                       }),
                  bad.imported);

        // Readable backups are replaced by group 1 as it is now.
        const auto backups = read(
            {"defpti.bak", "defptd.bak"}, bad.bytes,
            [&] {
                files.writeBackups(group1);
                EXPECT_TRUE(storage::holdsEncrypted(fs_, path("defpti.bak"), group1.titles));
                EXPECT_TRUE(storage::holdsEncrypted(fs_, path("defptd.bak"), group1.keyCodes));
                return Lines{};
            },
            true);
        EXPECT_EQ(backups.has_value(), bad.stored.has_value());

        EXPECT_TRUE(item_commands::addPrefill(widened(bad.bytes), 3).keyCode ==
                    widened(bad.prefill));
    }
}

}  // namespace
