// The file cipher: a file's bytes are encrypted behind a 44-byte lock header
// with a repeating-key XOR that restarts at every 1024-byte block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace storage {

inline constexpr std::size_t kLockHeaderSize = 44;
inline constexpr std::size_t kCipherBlockSize = 1024;
// The key every caller in the program uses.
inline constexpr const char* kFileKey = "qz";

struct LockHeader {
    bool valid = false;
    std::string key;
    std::uint32_t dosTime = 0;
};

void writeLockHeader(unsigned char* buffer, const std::string& key, std::uint32_t dosTime);
LockHeader readLockHeader(const unsigned char* buffer);
void xorWithKey(unsigned char* buffer, std::size_t count, const std::string& key);

// `<stem>.$$$`, `<stem>.org`, `<stem>.crp`: the extension of the file name
// replaced (or appended when it has none).
platform::Path withExtension(const platform::Path& path, const char* extension);

// The encrypted bytes of a file with this content and last-write time.
std::string encryptedBytes(std::string_view plain, const std::string& key, std::uint32_t dosTime);
// The content behind the lock header of encrypted bytes (at least a header
// long), decrypted with the key.
std::string decryptedPayload(std::string_view encrypted, const std::string& key);
// Whether non-empty bytes begin with the lock marker, or are all a first part
// of it.
bool beginsLikeLockMarker(std::string_view bytes);

}  // namespace storage
