#include "storage/cryptogram.h"

#include <algorithm>
#include <cstring>

namespace storage {
namespace {

constexpr std::string_view kMarker("\x17\0LOCKED", 8);
constexpr std::size_t kDateOffset = 8;
constexpr std::size_t kKeyOffset = 12;
constexpr std::size_t kStoredKeyLength = 32;
constexpr unsigned char kKeyMask = 0xA6;

// The key restarts at every block; the same XOR undoes itself.
void xorBlocks(std::string& payload, const std::string& key) {
    for (std::size_t start = 0; start < payload.size(); start += kCipherBlockSize) {
        const std::size_t length = std::min(kCipherBlockSize, payload.size() - start);
        xorWithKey(reinterpret_cast<unsigned char*>(payload.data() + start), length, key);
    }
}

}  // namespace

void writeLockHeader(unsigned char* buffer, const std::string& key, std::uint32_t dosTime) {
    std::memcpy(buffer, kMarker.data(), kMarker.size());
    for (std::size_t i = 0; i < 4; ++i) {
        buffer[kDateOffset + i] = static_cast<unsigned char>(dosTime >> (8 * i));
    }
    std::memset(buffer + kKeyOffset, 0, kStoredKeyLength);
    const std::size_t stored = std::min(key.size(), kStoredKeyLength);
    for (std::size_t i = 0; i < stored; ++i) {
        buffer[kKeyOffset + i] = static_cast<unsigned char>(key[i]) ^ kKeyMask;
    }
}

LockHeader readLockHeader(const unsigned char* buffer) {
    LockHeader header;
    if (std::memcmp(buffer, kMarker.data(), kMarker.size()) != 0) {
        return header;
    }
    header.valid = true;
    for (std::size_t i = kKeyOffset; i < kLockHeaderSize && buffer[i] != 0x00; ++i) {
        header.key += static_cast<char>(buffer[i] ^ kKeyMask);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        header.dosTime |= static_cast<std::uint32_t>(buffer[kDateOffset + i]) << (8 * i);
    }
    return header;
}

void xorWithKey(unsigned char* buffer, std::size_t count, const std::string& key) {
    if (key.empty()) {
        return;
    }
    for (std::size_t j = 0; j < count; ++j) {
        buffer[j] ^= static_cast<unsigned char>(key[j % key.size()]);
    }
}

platform::Path withExtension(const platform::Path& path, const char* extension) {
    using String = platform::Path::string_type;
    String name = path.filename().native();
    const std::size_t dot = name.rfind(static_cast<platform::Path::value_type>('.'));
    if (dot != String::npos) {
        name.erase(dot);
    }
    for (const char* c = extension; *c != '\0'; ++c) {
        name += static_cast<platform::Path::value_type>(*c);
    }
    return path.parent_path() / name;
}

std::string encryptedBytes(std::string_view plain, const std::string& key, std::uint32_t dosTime) {
    std::string payload(plain);
    xorBlocks(payload, key);
    std::string bytes(kLockHeaderSize, '\0');
    writeLockHeader(reinterpret_cast<unsigned char*>(bytes.data()), key, dosTime);
    return bytes + payload;
}

std::string decryptedPayload(std::string_view encrypted, const std::string& key) {
    std::string payload(encrypted.substr(std::min(encrypted.size(), kLockHeaderSize)));
    xorBlocks(payload, key);
    return payload;
}

bool beginsLikeLockMarker(std::string_view bytes) {
    return !bytes.empty() && kMarker.substr(0, bytes.size()) == bytes.substr(0, kMarker.size());
}

}  // namespace storage
