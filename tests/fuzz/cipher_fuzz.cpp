// The file cipher: encryption in memory and on disk is undone by decryption,
// decrypting any bytes fails cleanly or gives the payload's length, and the
// lock header reader takes any 0 to 64 bytes.
#include <algorithm>
#include <memory>

#include "fuzz_fields.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/file_cipher.h"
#include "storage/cryptogram.h"

namespace {

// A key the lock header holds: at most 32 bytes, none that its mask turns into
// the header's terminating 0.
bool storableKey(const std::string& key) {
    return !key.empty() && key.size() <= 32 && key.find('\xa6') == std::string::npos;
}

void checkHeaderReader(std::string_view bytes) {
    const std::size_t size = std::min<std::size_t>(bytes.size(), 64);
    // Exactly as long as the input, so that a read past it is reported.
    const auto buffer = std::make_unique<unsigned char[]>(size);
    std::copy_n(bytes.begin(), size, buffer.get());
    const bool marked = storage::beginsLikeLockMarker(bytes.substr(0, size));
    if (size < storage::kLockHeaderSize) return;
    const storage::LockHeader header = storage::readLockHeader(buffer.get());
    fuzz::check(header.valid == marked, "header validity and the marker test disagree");
    fuzz::check(header.key.size() <= 32, "header key longer than its field");
}

void checkFileRoundTrip(const std::string& plain, const std::string& key) {
    test_support::MemoryFileSystem fs;
    const platform::Path path = "file.ini";
    fs.files[path] = plain;
    fuzz::check(test_support::cipherFile(fs, path, key, false), "file encryption failed");
    fuzz::check(fs.files[path].size() == plain.size() + storage::kLockHeaderSize,
                "encrypted file of the wrong length");
    fuzz::check(test_support::decipherFile(fs, path, key, false) ==
                        test_support::DecipherResult::Deciphered &&
                    fs.files[path] == plain,
                "file decryption did not give the plain bytes back");
}

void checkDecipherAnyFile(const std::string& bytes, const std::string& key) {
    test_support::MemoryFileSystem fs;
    const platform::Path path = "file.ini";
    fs.files[path] = bytes;
    const auto result = test_support::decipherFile(fs, path, key, false);
    // A file cut short inside its header still decrypts, to an empty file.
    if (result == test_support::DecipherResult::Deciphered)
        fuzz::check(fs.files[path].size() ==
                        bytes.size() - std::min(bytes.size(), storage::kLockHeaderSize),
                    "decrypted file of the wrong length");
    else
        fuzz::check(fs.files[path] == bytes, "failed decryption changed the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string any = fields.text();
    std::string key = fields.text();
    const std::string plain = fields.text();
    const auto dosTime = static_cast<std::uint32_t>(fields.number(0, 0x7fffffff));
    if (!storableKey(key)) key = storage::kFileKey;

    checkHeaderReader(any);
    const std::string payload = storage::decryptedPayload(any, key);
    fuzz::check(payload.size() == any.size() - std::min(any.size(), storage::kLockHeaderSize),
                "decrypted payload of the wrong length");
    checkDecipherAnyFile(any, key);

    const std::string encrypted = storage::encryptedBytes(plain, key, dosTime);
    const storage::LockHeader header =
        storage::readLockHeader(reinterpret_cast<const unsigned char*>(encrypted.data()));
    fuzz::check(header.valid && header.key == key && header.dosTime == dosTime,
                "the lock header does not give back key and date");
    fuzz::check(storage::decryptedPayload(encrypted, key) == plain,
                "decryption does not undo encryption");
    checkFileRoundTrip(plain, key);
    return 0;
}
