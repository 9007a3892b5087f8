// Overwrites memory that held a secret, in a way the compiler may not drop
// as a store that is never read again.
#pragma once

#include <cstddef>

namespace platform {

// SecureZeroMemory on Windows, explicit_bzero elsewhere.
void wipe(void* data, std::size_t size);

}  // namespace platform
