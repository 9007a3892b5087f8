#include "storage/cryptogram.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace storage {
namespace {

constexpr std::string_view kMarker("\x17\0LOCKED", 8);
constexpr std::size_t kDateOffset = 8;
constexpr std::size_t kKeyOffset = 12;
constexpr std::size_t kStoredKeyLength = 32;
constexpr unsigned char kKeyMask = 0xA6;
// Shorter inputs are refused by decryption; 35 to 43 bytes still pass.
constexpr std::int64_t kShortestLockedFile = 35;

using Block = std::array<unsigned char, kCipherBlockSize>;

// Copies `count` bytes from input to output in blocks, each XOR-ed with the key
// from key position 0. Fails on a short read or a failed write, so that a file
// that changed size meanwhile never turns into a truncated result.
bool transformBlocks(platform::InputFile& input, platform::OutputFile& output, std::int64_t count,
                     const std::string& key, Block& block) {
    while (count > 0) {
        const std::size_t length =
            static_cast<std::size_t>(std::min<std::int64_t>(count, kCipherBlockSize));
        if (input.read(block.data(), length) != length) {
            return false;
        }
        XorWithKey(block.data(), length, key);
        if (!output.write(block.data(), length)) {
            return false;
        }
        count -= static_cast<std::int64_t>(length);
    }
    return true;
}

// The key restarts at every block; the same XOR undoes itself.
void xorBlocks(std::string& payload, const std::string& key) {
    for (std::size_t start = 0; start < payload.size(); start += kCipherBlockSize) {
        const std::size_t length = std::min(kCipherBlockSize, payload.size() - start);
        XorWithKey(reinterpret_cast<unsigned char*>(payload.data() + start), length, key);
    }
}

// Puts the finished temporary file under the path's name in one replacing move,
// after keeping the input under `keptExtension` when asked. The path holds the
// complete old or the complete new content at every moment.
bool putInPlace(platform::FileSystem& fs, const platform::Path& path,
                const platform::Path& temporary, bool keepInput, const char* keptExtension) {
    if (keepInput && !fs.copyNew(path, withExtension(path, keptExtension))) {
        return false;
    }
    return fs.replace(temporary, path);
}

}  // namespace

void WriteLockHeader(unsigned char* buffer, const std::string& key, std::uint32_t dosTime) {
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

LockHeader ReadLockHeader(const unsigned char* buffer) {
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

void XorWithKey(unsigned char* buffer, std::size_t count, const std::string& key) {
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
    WriteLockHeader(reinterpret_cast<unsigned char*>(bytes.data()), key, dosTime);
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

bool CipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                bool keepInput) {
    if (key.empty()) {
        return false;
    }
    std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        return false;
    }
    const std::uint32_t dosTime = input->lastWriteDosTime();
    const std::int64_t size = input->size();
    if (size < 0) {
        return false;
    }
    const platform::Path temporary = withExtension(path, ".$$$");
    std::unique_ptr<platform::OutputFile> output = fs.createFile(temporary);
    if (!output) {
        return false;
    }
    auto block = std::make_unique<Block>();
    block->fill(0);
    WriteLockHeader(block->data(), key, dosTime);
    const bool written = output->write(block->data(), kLockHeaderSize) &&
                         transformBlocks(*input, *output, size, key, *block) && output->flush();
    input.reset();
    output.reset();
    if (!written) {
        fs.remove(temporary);
        return false;
    }
    return putInPlace(fs, path, temporary, keepInput, ".org");
}

int DecipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                 bool keepInput) {
    if (key.empty()) {
        return kDecipherFailed;
    }
    std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        return kDecipherFailed;
    }
    const std::int64_t size = input->size();
    if (size < kShortestLockedFile) {
        return kDecipherFailed;
    }
    const platform::Path temporary = withExtension(path, ".$$$");
    std::unique_ptr<platform::OutputFile> output = fs.createFile(temporary);
    if (!output) {
        return kDecipherFailed;
    }
    auto block = std::make_unique<Block>();
    block->fill(0);
    const std::size_t headerBytes =
        static_cast<std::size_t>(std::min<std::int64_t>(size, kLockHeaderSize));
    if (input->read(block->data(), headerBytes) != headerBytes) {
        input.reset();
        output.reset();
        fs.remove(temporary);
        return kDecipherFailed;
    }
    const LockHeader header = ReadLockHeader(block->data());
    if (header.key != key) {
        // The empty temporary file is left behind, as it always was.
        return kNotLockedWithKey;
    }
    bool written =
        transformBlocks(*input, *output, size - std::int64_t{kLockHeaderSize}, key, *block);
    if (written && header.dosTime != 0) {
        // Not being able to restore the time does not make the content wrong.
        output->setLastWriteDosTime(header.dosTime);
    }
    written = written && output->flush();
    input.reset();
    output.reset();
    if (!written) {
        fs.remove(temporary);
        return kDecipherFailed;
    }
    return putInPlace(fs, path, temporary, keepInput, ".crp") ? kDeciphered : kDecipherFailed;
}

}  // namespace storage
