#include "storage/cryptogram.h"

#include <filesystem>

#include "test_support.h"
#include "tests/support/file_cipher.h"

namespace {

using namespace test_support;

constexpr std::uint32_t kWinterMorning = dosTime(2001, 1, 15, 10, 20, 30);

std::string lockHeader(const std::string& key, std::uint32_t time) {
    std::string header(storage::kLockHeaderSize, '\0');
    storage::writeLockHeader(reinterpret_cast<unsigned char*>(header.data()), key, time);
    return header;
}

// The encrypted form built independently of the cipher's own block loop.
std::string encrypted(const std::string& plain, const std::string& key, std::uint32_t time) {
    std::string result = lockHeader(key, time);
    for (std::size_t p = 0; p < plain.size(); ++p) {
        result += static_cast<char>(plain[p] ^ key[(p % 1024) % key.size()]);
    }
    return result;
}

TEST(LockHeader, HoldsMarkerLittleEndianTimeAndMaskedKey) {
    const std::string header = lockHeader("qz", 0x12345678);
    const std::string expected = std::string("\x17\0LOCKED\x78\x56\x34\x12", 12) +
                                 static_cast<char>('q' ^ 0xA6) + static_cast<char>('z' ^ 0xA6) +
                                 std::string(30, '\0');
    EXPECT_EQ(header, expected);

    const auto parsed =
        storage::readLockHeader(reinterpret_cast<const unsigned char*>(header.data()));
    EXPECT_TRUE(parsed.valid);
    EXPECT_EQ(parsed.key, "qz");
    EXPECT_EQ(parsed.dosTime, 0x12345678u);
}

TEST(LockHeader, StoresOnlyThirtyTwoKeyBytesAndReadsNoKeyWithoutMarker) {
    std::string header = lockHeader(std::string(40, 'k'), 1);
    auto parsed = storage::readLockHeader(reinterpret_cast<const unsigned char*>(header.data()));
    EXPECT_EQ(parsed.key, std::string(32, 'k'));

    header[7] = 'd';  // "LOCKEd"
    parsed = storage::readLockHeader(reinterpret_cast<const unsigned char*>(header.data()));
    EXPECT_FALSE(parsed.valid);
    EXPECT_EQ(parsed.key, "");
    EXPECT_EQ(parsed.dosTime, 0u);
}

TEST(WithExtension, ReplacesFromTheLastDotOfTheFileNameOnly) {
    const Path folder = Path("dir.x") / "sub";
    EXPECT_EQ(storage::withExtension(folder / "defpti1.ini", ".$$$"), folder / "defpti1.$$$");
    EXPECT_EQ(storage::withExtension(folder / "defpti.bak", ".$$$"), folder / "defpti.$$$");
    EXPECT_EQ(storage::withExtension(folder / "a.b.ini", ".org"), folder / "a.b.org");
    EXPECT_EQ(storage::withExtension(folder / "name", ".crp"), folder / "name.crp");
}

class Cipher : public TempFolderTest {};

class CipherRoundTrip : public TempFolderTest, public ::testing::WithParamInterface<int> {};

TEST_P(CipherRoundTrip, AddsTheHeaderAndRestoresTheContent) {
    const std::string plain = arbitraryBytes(static_cast<std::size_t>(GetParam()));
    writeBytesWithTime(path("f.ini"), plain, kWinterMorning);

    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "qz", false));
    EXPECT_EQ(readBytes(path("f.ini")), encrypted(plain, "qz", kWinterMorning));
    EXPECT_FALSE(std::filesystem::exists(path("f.$$$")));

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(path("f.ini")), plain);
    EXPECT_FALSE(std::filesystem::exists(path("f.$$$")));
}

INSTANTIATE_TEST_SUITE_P(BlockBoundaries, CipherRoundTrip,
                         ::testing::Values(0, 1, 1023, 1024, 1025, 2048, 3001));

TEST_F(Cipher, RestartsAThreeByteKeyAtEveryBlock) {
    writeBytes(path("f.ini"), std::string(1025, '\0'));
    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "abc", false));
    const std::string file = *readBytes(path("f.ini"));
    ASSERT_EQ(file.size(), 44u + 1025u);
    EXPECT_EQ(file[44 + 1022], 'c');  // 1022 mod 3 = 2
    EXPECT_EQ(file[44 + 1023], 'a');  // 1023 mod 3 = 0
    EXPECT_EQ(file[44 + 1024], 'a');  // a new block starts with key byte 0, not 1

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "abc", false), DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(path("f.ini")), std::string(1025, '\0'));
}

TEST_F(Cipher, EncryptingTwiceWrapsTwiceAndOneDecryptionUnwrapsOnce) {
    const std::string plain = "secret\r\n";
    writeBytes(path("f.ini"), plain);
    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "qz", false));
    const std::string once = *readBytes(path("f.ini"));
    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "qz", false));
    EXPECT_EQ(readBytes(path("f.ini"))->size(), plain.size() + 88);

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(path("f.ini")), once);
}

TEST_F(Cipher, LeavesAPlainFileUnchangedBesideAnEmptyTemporaryFile) {
    const std::string plain = "this is not encrypted at all\r\n123\r\n";
    writeBytes(path("f.ini"), plain);
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::NotLockedWithKey);
    EXPECT_EQ(readBytes(path("f.ini")), plain);
    EXPECT_EQ(readBytes(path("f.$$$")), "");
}

TEST_F(Cipher, LeavesAFileLockedWithAnotherKeyUnchanged) {
    const std::string locked = encrypted("content", "qy", 0);
    writeBytes(path("f.ini"), locked);
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::NotLockedWithKey);
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "QZ", false), DecipherResult::NotLockedWithKey);
    EXPECT_EQ(readBytes(path("f.ini")), locked);
}

TEST_F(Cipher, DecryptsAFortyByteHeaderOnlyFileToAnEmptyFile) {
    writeBytes(path("f.ini"), lockHeader("qz", 0).substr(0, 40));
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(path("f.ini")), "");

    writeBytes(path("g.ini"), std::string(40, 'x'));
    EXPECT_EQ(decipherFile(fs_, path("g.ini"), "qz", false), DecipherResult::NotLockedWithKey);
    EXPECT_EQ(readBytes(path("g.ini")), std::string(40, 'x'));
}

TEST_F(Cipher, RefusesFilesShorterThanThirtyFiveBytesWithoutTouchingThem) {
    const std::string shortFile = lockHeader("qz", 0).substr(0, 34);
    writeBytes(path("f.ini"), shortFile);
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Failed);
    EXPECT_EQ(readBytes(path("f.ini")), shortFile);
    EXPECT_FALSE(std::filesystem::exists(path("f.$$$")));
}

TEST_F(Cipher, FailsOnAnEmptyKeyOrAMissingFile) {
    writeBytes(path("f.ini"), "abc");
    EXPECT_FALSE(cipherFile(fs_, path("f.ini"), "", false));
    EXPECT_EQ(decipherFile(fs_, path("f.ini"), "", false), DecipherResult::Failed);
    EXPECT_EQ(readBytes(path("f.ini")), "abc");
    EXPECT_FALSE(cipherFile(fs_, path("missing.ini"), "qz", false));
    EXPECT_EQ(decipherFile(fs_, path("missing.ini"), "qz", false), DecipherResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(path("f.$$$")));
    EXPECT_FALSE(std::filesystem::exists(path("missing.$$$")));
}

TEST_F(Cipher, KeepsThePlainInputAsOrgAndTheEncryptedInputAsCrp) {
    writeBytesWithTime(path("f.ini"), "plain", kWinterMorning);
    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "qz", true));
    EXPECT_EQ(readBytes(path("f.org")), "plain");
    const std::string locked = encrypted("plain", "qz", kWinterMorning);
    EXPECT_EQ(readBytes(path("f.ini")), locked);

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "qz", true), DecipherResult::Deciphered);
    EXPECT_EQ(readBytes(path("f.crp")), locked);
    EXPECT_EQ(readBytes(path("f.ini")), "plain");
}

TEST_F(Cipher, WithTheKeptNameTakenLeavesTheInputAndTheNewContentInTheTemporaryFile) {
    writeBytesWithTime(path("f.ini"), "plain", kWinterMorning);
    writeBytes(path("f.org"), "older copy");
    EXPECT_FALSE(cipherFile(fs_, path("f.ini"), "qz", true));
    EXPECT_EQ(readBytes(path("f.ini")), "plain");
    EXPECT_EQ(readBytes(path("f.org")), "older copy");
    EXPECT_EQ(readBytes(path("f.$$$")), encrypted("plain", "qz", kWinterMorning));

    const std::string locked = encrypted("plain", "qz", 0);
    writeBytes(path("g.ini"), locked);
    writeBytes(path("g.crp"), "older copy");
    EXPECT_EQ(decipherFile(fs_, path("g.ini"), "qz", true), DecipherResult::Failed);
    EXPECT_EQ(readBytes(path("g.ini")), locked);
    EXPECT_EQ(readBytes(path("g.$$$")), "plain");
}

TEST_F(Cipher, RestoresTheFileTimeRecordedInTheHeader) {
    writeBytesWithTime(path("f.ini"), "plain", kWinterMorning);
    ASSERT_EQ(lastWriteDosTime(path("f.ini")), kWinterMorning);
    ASSERT_TRUE(cipherFile(fs_, path("f.ini"), "qz", false));
    EXPECT_NE(lastWriteDosTime(path("f.ini")), kWinterMorning);

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Deciphered);
    EXPECT_EQ(lastWriteDosTime(path("f.ini")), kWinterMorning);
}

TEST_F(Cipher, KeepsTheTimeOfWritingWhenTheHeaderHoldsNoTime) {
    writeBytes(path("reference"), "");
    const std::uint32_t beforeDecryption = lastWriteDosTime(path("reference"));
    ASSERT_NE(beforeDecryption, 0u);
    writeBytesWithTime(path("f.ini"), encrypted("plain", "qz", 0), kWinterMorning);

    ASSERT_EQ(decipherFile(fs_, path("f.ini"), "qz", false), DecipherResult::Deciphered);
    // Packed DOS date-times order like the moments they stand for.
    EXPECT_GE(lastWriteDosTime(path("f.ini")), beforeDecryption);
}

}  // namespace
