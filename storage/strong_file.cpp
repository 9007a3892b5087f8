#include "storage/strong_file.h"

#include <algorithm>
#include <cctype>

#include "platform/random_source.h"
#include "storage/cryptogram.h"

namespace storage {
namespace {

constexpr char kVersion = 1;
constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kCountSize = 4;
constexpr std::size_t kKeyBlockSize = kSaltSize + kCountSize + platform::kGcmNonceSize +
                                      platform::kAesKeySize + platform::kGcmTagSize;
constexpr char kContentMark = 0x01;
constexpr std::string_view kKeyRole = "data key";
// A count above it is taken for damage rather than waited for.
constexpr std::uint32_t kMostIterations = 20'000'000;

std::string randomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    platform::systemRandom().fill(bytes.data(), size);
    return bytes;
}

// The role of a file: its name, in the case Windows ignores.
std::string roleOf(const platform::Path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

std::uint32_t countOf(std::string_view keyBlock) {
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < kCountSize; ++i) {
        count |= static_cast<std::uint32_t>(static_cast<unsigned char>(keyBlock[kSaltSize + i]))
                 << (8 * i);
    }
    return count;
}

std::string countBytes(std::uint32_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < kCountSize; ++i) bytes += static_cast<char>(count >> (8 * i));
    return bytes;
}

// The parts of strong bytes; nothing when they are not laid out as the format
// says.
struct Layout {
    std::string_view keyBlock;
    std::string_view header;  // everything before the sealed text, nonce included
    std::string_view nonce;
    std::string_view sealed;
};

std::optional<Layout> layoutOf(std::string_view bytes) {
    const std::size_t blockStart = kLockHeaderSize + 2;
    if (!isStrongFile(bytes) || bytes.size() < blockStart || bytes[kLockHeaderSize] != kVersion)
        return std::nullopt;
    const std::size_t blockSize = static_cast<unsigned char>(bytes[kLockHeaderSize + 1]);
    if (blockSize != 0 && blockSize != kKeyBlockSize) return std::nullopt;
    const std::size_t nonceStart = blockStart + blockSize;
    const std::size_t sealedStart = nonceStart + platform::kGcmNonceSize;
    if (bytes.size() < sealedStart + 1 + platform::kGcmTagSize) return std::nullopt;
    return Layout{bytes.substr(blockStart, blockSize), bytes.substr(0, sealedStart),
                  bytes.substr(nonceStart, platform::kGcmNonceSize), bytes.substr(sealedStart)};
}

std::string associatedData(const platform::Path& path, std::string_view header) {
    std::string data = roleOf(path);
    data += '\0';
    data += header;
    return data;
}

}  // namespace

bool isStrongFile(std::string_view bytes) {
    return bytes.size() >= kLockHeaderSize &&
           readLockHeader(reinterpret_cast<const unsigned char*>(bytes.data())).key ==
               kStrongFileKey;
}

std::string strongBytes(std::string_view content, const platform::SecretBytes& dataKey,
                        const platform::Path& path, std::string_view keyBlock,
                        std::uint32_t dosTime) {
    std::string header(kLockHeaderSize, '\0');
    writeLockHeader(reinterpret_cast<unsigned char*>(header.data()), kStrongFileKey, dosTime);
    header += kVersion;
    header += static_cast<char>(keyBlock.size());
    header += keyBlock;
    const std::string nonce = randomBytes(platform::kGcmNonceSize);
    header += nonce;
    std::string plain(1, kContentMark);
    plain += content;
    const std::string sealed =
        platform::sealAesGcm(dataKey, nonce, associatedData(path, header), plain);
    platform::wipe(plain.data(), plain.size());
    return header + sealed;
}

std::optional<std::string> strongContent(std::string_view bytes,
                                         const platform::SecretBytes& dataKey,
                                         const platform::Path& path) {
    const std::optional<Layout> layout = layoutOf(bytes);
    if (!layout) return std::nullopt;
    const std::optional<platform::SecretBytes> plain = platform::openAesGcm(
        dataKey, layout->nonce, associatedData(path, layout->header), layout->sealed);
    if (!plain || plain->empty() || (*plain)[0] != kContentMark) return std::nullopt;
    return std::string(plain->begin() + 1, plain->end());
}

platform::SecretBytes newDataKey() {
    platform::SecretBytes key(platform::kAesKeySize);
    platform::systemRandom().fill(key.data(), key.size());
    return key;
}

std::string wrapDataKey(const platform::SecretBytes& dataKey, std::string_view password,
                        std::uint32_t iterations) {
    const std::string salt = randomBytes(kSaltSize);
    const std::string count = countBytes(iterations);
    const std::string nonce = randomBytes(platform::kGcmNonceSize);
    const platform::SecretBytes keyKey =
        platform::deriveKeyPbkdf2Sha256(password, salt, iterations, platform::kAesKeySize);
    std::string block = salt + count + nonce;
    block += platform::sealAesGcm(
        keyKey, nonce, std::string(kKeyRole) + salt + count,
        std::string_view(reinterpret_cast<const char*>(dataKey.data()), dataKey.size()));
    return block;
}

std::optional<std::string> keyBlockOf(std::string_view bytes) {
    const std::optional<Layout> layout = layoutOf(bytes);
    if (!layout || layout->keyBlock.empty()) return std::nullopt;
    return std::string(layout->keyBlock);
}

std::optional<platform::SecretBytes> unwrapDataKey(std::string_view keyBlock,
                                                   std::string_view password) {
    if (keyBlock.size() != kKeyBlockSize) return std::nullopt;
    const std::uint32_t count = countOf(keyBlock);
    if (count == 0 || count > kMostIterations) return std::nullopt;
    const std::string_view saltAndCount = keyBlock.substr(0, kSaltSize + kCountSize);
    const platform::SecretBytes keyKey = platform::deriveKeyPbkdf2Sha256(
        password, keyBlock.substr(0, kSaltSize), count, platform::kAesKeySize);
    std::optional<platform::SecretBytes> dataKey =
        platform::openAesGcm(keyKey, keyBlock.substr(saltAndCount.size(), platform::kGcmNonceSize),
                             std::string(kKeyRole) + std::string(saltAndCount),
                             keyBlock.substr(saltAndCount.size() + platform::kGcmNonceSize));
    if (!dataKey || dataKey->size() != platform::kAesKeySize) return std::nullopt;
    return dataKey;
}

}  // namespace storage
