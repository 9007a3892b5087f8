#include <windows.h>

#include "platform/wipe.h"

namespace platform {

void wipe(void* data, std::size_t size) {
    SecureZeroMemory(data, size);
}

}  // namespace platform
