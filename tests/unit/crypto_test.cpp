// The system's key derivation and AES-256-GCM on published known answers:
// OpenSSL natively, CNG under Wine.
#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

std::string text(const platform::SecretBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

platform::SecretBytes secret(const std::string& bytes) {
    return platform::SecretBytes(bytes.begin(), bytes.end());
}

TEST(Crypto, DerivesTheKnownPbkdf2HmacSha256Keys) {
    const struct {
        const char *password, *salt;
        std::uint32_t iterations;
        const char* key;
    } rows[] = {
        {"passwd", "salt", 1,
         "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
         "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
        {"Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
         "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(text(platform::deriveKeyPbkdf2Sha256(row.password, row.salt, row.iterations, 64)),
                  fromHex(row.key))
            << row.password;
    }
}

// The published AES-GCM test vectors, case 16 (a 256-bit key with associated
// data); any changed byte of the nonce, the associated data or the sealed text
// is refused.
TEST(Crypto, SealsAndOpensTheKnownAesGcmCaseAndRefusesAnyChange) {
    const platform::SecretBytes key =
        secret(fromHex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308"));
    const std::string nonce = fromHex("cafebabefacedbaddecaf888");
    const std::string associated = fromHex("feedfacedeadbeeffeedfacedeadbeefabaddad2");
    const std::string plain = fromHex(
        "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
        "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b39");
    const std::string sealed = fromHex(
        "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
        "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662"
        "76fc6ece0f4e1768cddf8853bb2d551b");
    EXPECT_EQ(platform::sealAesGcm(key, nonce, associated, plain), sealed);
    const auto opened = platform::openAesGcm(key, nonce, associated, sealed);
    ASSERT_TRUE(opened);
    EXPECT_EQ(text(*opened), plain);

    for (const std::string* part : {&nonce, &associated, &sealed}) {
        for (std::size_t i = 0; i < part->size(); ++i) {
            std::string changed[] = {nonce, associated, sealed};
            std::string& mine = changed[part == &nonce ? 0 : part == &associated ? 1 : 2];
            mine[i] = static_cast<char>(mine[i] ^ 0x01);
            EXPECT_FALSE(platform::openAesGcm(key, changed[0], changed[1], changed[2])) << i;
        }
    }
    EXPECT_FALSE(platform::openAesGcm(key, nonce, associated, sealed.substr(0, 15)));
}

}  // namespace
