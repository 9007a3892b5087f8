// The secure random generator on Windows: the system's preferred generator
// of CNG, loaded when a key code is first generated.
#include <windows.h>
#include <bcrypt.h>

#include "platform/lazy_function.h"
#include "platform/random_source.h"

namespace platform {
namespace {

class Win32RandomSource : public RandomSource {
public:
    std::uint32_t next() override {
        static const auto generate =
            lazyFunction<decltype(BCryptGenRandom)>(L"bcrypt.dll", "BCryptGenRandom");
        std::uint32_t value = 0;
        if (!generate || !BCRYPT_SUCCESS(generate(nullptr, reinterpret_cast<PUCHAR>(&value),
                                                  sizeof(value), BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            throw RandomError();
        return value;
    }
};

}  // namespace

RandomSource& systemRandom() {
    static Win32RandomSource source;
    return source;
}

}  // namespace platform
