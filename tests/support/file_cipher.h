// The file cipher applied to a file in place: the input is encrypted (or
// decrypted) into `<stem>.$$$`, which then replaces it. The program encrypts in
// memory (storage/cryptogram.h); this is the reference its tests and fuzz
// targets compare it against.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "storage/cryptogram.h"

namespace test_support {

enum class DecipherResult { Deciphered, NotLockedWithKey, Failed };

// keepInput keeps the input beside the result, as `<stem>.org` (encryption)
// or `<stem>.crp` (decryption).
bool cipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                bool keepInput);
DecipherResult decipherFile(platform::FileSystem& fs, const platform::Path& path,
                            const std::string& key, bool keepInput);

}  // namespace test_support
