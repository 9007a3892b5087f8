#include <string.h>

#include "platform/wipe.h"

namespace platform {

void wipe(void* data, std::size_t size) {
    explicit_bzero(data, size);
}

}  // namespace platform
