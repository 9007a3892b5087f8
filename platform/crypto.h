// Authenticated encryption and key derivation from the system: CNG on
// Windows, OpenSSL for the native tests. No cipher is written here by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wipe.h"

namespace platform {

// Memory that is wiped when it is given back, for keys and what they unlock.
template <typename T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) {}
    T* allocate(std::size_t count) { return std::allocator<T>().allocate(count); }
    void deallocate(T* data, std::size_t count) {
        wipe(data, count * sizeof(T));
        std::allocator<T>().deallocate(data, count);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const {
        return true;
    }
};

using SecretBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

inline constexpr std::size_t kAesKeySize = 32;
inline constexpr std::size_t kGcmNonceSize = 12;
inline constexpr std::size_t kGcmTagSize = 16;

// The system refused a cryptographic operation (not a wrong key or tag,
// which are answers). what() is the message the user sees, in UTF-8.
class CryptoError : public std::runtime_error {
public:
    CryptoError() : std::runtime_error("暗号の機能を使えませんでした") {}
};

// PBKDF2 with HMAC-SHA256: `length` bytes from the password. Throws
// CryptoError.
SecretBytes deriveKeyPbkdf2Sha256(std::string_view password, std::string_view salt,
                                  std::uint32_t iterations, std::size_t length);

// AES-256-GCM with a 12-byte nonce: the ciphertext followed by the 16-byte
// tag. Throws CryptoError.
std::string sealAesGcm(const SecretBytes& key, std::string_view nonce, std::string_view associated,
                       std::string_view plain);

// The plain text of what sealAesGcm made, or nothing when the tag does not
// hold (another key, nonce, associated data or a changed byte); then nothing
// of the plain text is left in memory. An empty ciphertext is not trusted to
// be checked: callers never seal an empty text. Throws CryptoError.
std::optional<SecretBytes> openAesGcm(const SecretBytes& key, std::string_view nonce,
                                      std::string_view associated, std::string_view sealed);

}  // namespace platform
