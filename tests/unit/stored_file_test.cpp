// Stored files are decrypted in memory only, with the folder left as it was,
// and bytes that are no data of the program are refused. Files encrypted in
// place load, and what is written is what encrypting in place makes.
#include "storage/stored_file.h"

#include <filesystem>
#include <optional>
#include <string>

#include "observed_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/strong_file.h"
#include "test_support.h"
#include "tests/support/file_cipher.h"

namespace {

using namespace test_support;

class StoredFileTest : public TempFolderTest {
protected:
    std::string encryptedInPlace(const std::string& plain, const std::string& key,
                                 std::uint32_t time = dosTime(2003, 2, 1, 12, 0, 0)) {
        writeBytesWithTime(path("scratch.ini"), plain, time);
        EXPECT_TRUE(test_support::cipherFile(fs_, path("scratch.ini"), key, false));
        const std::string bytes = readBytes(path("scratch.ini")).value_or("");
        std::filesystem::remove(path("scratch.ini"));
        return bytes;
    }

    // The content read from a stored file of these bytes; nullopt when refused.
    std::optional<std::string> readAsStored(const std::string& stored, platform::FileSystem& fs,
                                            const storage::Sealing& sealing = {}) {
        writeBytes(path("defpti1.ini"), stored);
        std::optional<std::string> content;
        try {
            content = storage::readStoredFile(fs, path("defpti1.ini"), storage::WhenEmpty::Readable,
                                              sealing);
        } catch (const storage::FileError& error) {
            EXPECT_EQ(error.kind(), storage::FileError::Kind::CannotOpen);
        }
        EXPECT_EQ(readBytes(path("defpti1.ini")), stored) << "the file changed";
        const auto files = std::filesystem::directory_iterator(folder());
        EXPECT_EQ(std::distance(begin(files), end(files)), 1) << "a file was left beside it";
        resetFolder();
        return content;
    }
};

TEST_F(StoredFileTest, ReadsPlainAndKeyEncryptedFilesAndRefusesWhatIsNoData) {
    const std::string plain = arbitraryBytes(2500);  // two full blocks and a remainder
    const std::string largest(storage::kLargestStoredFile, 'a');
    const std::string header = encryptedInPlace("", "qz");
    const std::string notTheMarker("\x17\0LOCKS", 7);
    const struct {
        const char* what;
        std::string stored;
        std::optional<std::string> content;
    } cases[] = {
        {"encrypted over several blocks", encryptedInPlace(plain, "qz"), plain},
        {"encrypted, empty", header, ""},
        {"plain", "mail\r\n", "mail\r\n"},
        {"plain, shorter than a lock header", "\x17LOCKED", "\x17LOCKED"},
        {"with a NUL, shorter than a lock header", notTheMarker, std::nullopt},
        {"empty", "", ""},
        {"plain, 1 MiB", largest, largest},
        {"plain, larger than 1 MiB", largest + "a", std::nullopt},
        {"encrypted, larger than 1 MiB", encryptedInPlace(largest.substr(43), "qz"), std::nullopt},
        {"locked with another key", encryptedInPlace("mail\r\n", "other"), std::nullopt},
        {"cut short inside the lock header", header.substr(0, 40), std::nullopt},
        {"cut short inside the marker", header.substr(0, 1), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(readAsStored(c.stored, fs_) == c.content) << c.what;
    }
    for (int step = 0; step < 3; ++step) {  // open, size, read
        ObservedFileSystem failing(fs_);
        failing.failingOperation = step;
        EXPECT_EQ(readAsStored(encryptedInPlace("mail\r\n", "qz"), failing), std::nullopt) << step;
    }
    EXPECT_THROW(storage::readStoredFile(fs_, path("missing.ini")), storage::FileError);
}

TEST_F(StoredFileTest, WritesWhatEncryptingInPlaceMakesOfTheSameContentDatedNow) {
    storage::Lines lines;
    for (int i = 0; i < 200; ++i) lines.push_back("\x83\x4c\x81\x5b " + std::to_string(i));
    const std::uint32_t before = fs_.nowDosTime();
    storage::writeStoredFile(fs_, path("defpts.ini"), lines);
    const std::uint32_t after = fs_.nowDosTime();

    const std::string written = readBytes(path("defpts.ini")).value_or("");
    ASSERT_GE(written.size(), storage::kLockHeaderSize);
    const std::uint32_t date =
        storage::readLockHeader(reinterpret_cast<const unsigned char*>(written.data())).dosTime;
    EXPECT_NE(date, 0u);
    EXPECT_LE(before, date);
    EXPECT_LE(date, after);
    EXPECT_EQ(written, encryptedInPlace(storage::joinLines(lines), "qz", date));
}

// Strong files are read only under their data key and their own name; any
// single changed byte, of the header and its key block too, is refused, and
// the classic format reads none of them.
TEST_F(StoredFileTest, ReadsTheStrongFormatOnlyUnderItsKeyAndName) {
    const platform::SecretBytes key = storage::newDataKey();
    const platform::SecretBytes otherKey = storage::newDataKey();
    const storage::Sealing strong = storage::Sealing::strong(&key);
    storage::Sealing settings = strong;
    settings.keyBlock = storage::wrapDataKey(key, "pw", 2);
    const storage::Lines lines{"mail", "\x83\x4c\x81\x5b"};
    const auto sealed = [&](const storage::Sealing& how, const char* name = "defpti1.ini") {
        return storage::storedBytes(lines, 7, how, path(name));
    };
    const std::string content = storage::joinLines(lines);
    EXPECT_EQ(readAsStored(sealed(strong), fs_, strong), content);
    EXPECT_EQ(readAsStored(sealed(settings), fs_, strong), content);
    EXPECT_EQ(readAsStored(storage::storedBytes({}, 7, strong, path("defpti1.ini")), fs_, strong),
              "");
    EXPECT_NE(sealed(strong), sealed(strong)) << "a nonce used twice";
    const struct {
        const char* what;
        std::string stored;
        storage::Sealing reading;
    } refused[] = {
        {"under another name", sealed(strong, "defptd1.ini"), strong},
        {"under another key", sealed(strong), storage::Sealing::strong(&otherKey)},
        {"while locked", sealed(strong), storage::Sealing::strong(nullptr)},
        {"in the classic run", sealed(settings), {}},
        {"classic in the strong run", sealed({}), strong},
        {"plain in the strong run", "mail\r\n", strong},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(readAsStored(c.stored, fs_, c.reading), std::nullopt) << c.what;
    }
    const std::string whole = sealed(settings);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        std::string changed = whole;
        changed[i] = static_cast<char>(changed[i] ^ 0x20);
        EXPECT_EQ(readAsStored(changed, fs_, strong), std::nullopt) << "byte " << i;
    }
    EXPECT_EQ(readAsStored(whole.substr(0, whole.size() - 1), fs_, strong), std::nullopt);
}

}  // namespace
