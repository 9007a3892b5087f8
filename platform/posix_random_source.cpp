// The secure random generator on Linux, for the native tests.
#include <sys/random.h>

#include <cerrno>

#include "platform/random_source.h"

namespace platform {
namespace {

class PosixRandomSource : public RandomSource {
public:
    std::uint32_t next() override {
        std::uint32_t value = 0;
        ssize_t got = 0;
        do {
            got = getrandom(&value, sizeof(value), 0);
        } while (got < 0 && errno == EINTR);
        // Four bytes come whole once the pool is initialised.
        if (got != static_cast<ssize_t>(sizeof(value))) throw RandomError();
        return value;
    }
};

}  // namespace

RandomSource& systemRandom() {
    static PosixRandomSource source;
    return source;
}

}  // namespace platform
