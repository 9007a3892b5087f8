// The system's secure random generator, behind an interface so that what is
// made of its numbers can be tested with numbers chosen by the test.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace platform {

// The system gave no random numbers. what() is the message the user sees, in
// UTF-8.
class RandomError : public std::runtime_error {
public:
    RandomError() : std::runtime_error("乱数を取得できませんでした") {}
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // 32 bits, each number equally likely. Throws RandomError.
    virtual std::uint32_t next() = 0;
    // `size` random bytes, four from each number. Throws RandomError.
    void fill(void* data, std::size_t size) {
        auto* bytes = static_cast<unsigned char*>(data);
        for (std::size_t done = 0; done < size; done += sizeof(std::uint32_t)) {
            const std::uint32_t value = next();
            std::memcpy(bytes + done, &value, std::min(sizeof(value), size - done));
        }
    }
};

// BCryptGenRandom on Windows, getrandom(2) elsewhere.
RandomSource& systemRandom();

}  // namespace platform
