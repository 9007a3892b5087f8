// The strong format of a stored file:
//
//   lock header   44 bytes: the lock marker, the date, and the key field
//                 "AES-256-GCM" (masked as any key), so that a build that
//                 knows only the file key refuses the file
//   version       1 byte: 1
//   key block     1 byte: its length, 0, or 80 in the settings file, then
//                 salt (16) | PBKDF2 count (4, little endian) | nonce (12) |
//                 the data key sealed under the password's key (32 + tag 16)
//   nonce         12 bytes, fresh at every write
//   sealed text   AES-256-GCM under the data key of 0x01 followed by the
//                 content, then the 16-byte tag
//
// The associated data of the sealed text is the file's name in lower case
// (its role: a file moved onto another name is refused) and every header
// byte before it. The data key is sealed with the salt and the count as
// associated data under PBKDF2-HMAC-SHA256(password, salt, count). Neither
// sealed text is ever empty (an empty one may be taken without its tag).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto.h"
#include "platform/file_system.h"

namespace storage {

// The lock header's key of a file in the strong format.
inline constexpr const char* kStrongFileKey = "AES-256-GCM";
// What the strong format adds to a file's content, at most.
inline constexpr std::size_t kStrongOverhead = 44 + 2 + 80 + 12 + 1 + 16;

// Whether bytes begin with the lock header of the strong format.
bool isStrongFile(std::string_view bytes);

// The bytes of `path` in the strong format holding `content`, sealed under
// the data key with a fresh nonce; `keyBlock` is empty except for the
// settings file. Throws platform::CryptoError or platform::RandomError.
std::string strongBytes(std::string_view content, const platform::SecretBytes& dataKey,
                        const platform::Path& path, std::string_view keyBlock,
                        std::uint32_t dosTime);

// The content of strong bytes of `path`, or nothing when they are not sealed
// under this data key for this name or are damaged.
std::optional<std::string> strongContent(std::string_view bytes,
                                         const platform::SecretBytes& dataKey,
                                         const platform::Path& path);

// A fresh random data key.
platform::SecretBytes newDataKey();

// The key block that wraps the data key under the password, with a new salt.
std::string wrapDataKey(const platform::SecretBytes& dataKey, std::string_view password,
                        std::uint32_t iterations);

// The key block in the header of strong bytes; nothing when there is none.
std::optional<std::string> keyBlockOf(std::string_view bytes);

// The data key that the key block wraps under the password; nothing when it
// does not unwrap.
std::optional<platform::SecretBytes> unwrapDataKey(std::string_view keyBlock,
                                                   std::string_view password);

}  // namespace storage
