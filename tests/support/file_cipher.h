// The file cipher applied to a file in place: the input is encrypted (or
// decrypted) into `<stem>.$$$`, which then replaces it. The program encrypts in
// memory (storage/cryptogram.h); this is the reference its tests and fuzz
// targets compare it against.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "storage/cryptogram.h"

namespace test_support {

enum DecipherResult : int { kDeciphered = 0, kNotLockedWithKey = 1, kDecipherFailed = 2 };

// keepInput keeps the input beside the result, as `<stem>.org` (encryption)
// or `<stem>.crp` (decryption).
bool CipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                bool keepInput);
int DecipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                 bool keepInput);

}  // namespace test_support
