#include "storage/integer_text.h"

#include <cstdint>

#include "storage/errors.h"

namespace storage {

bool tryToInteger(const std::string& text, int& value) {
    std::size_t position = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        position = 1;
    }
    if (position == text.size()) {
        return false;
    }
    // The magnitude is capped just above the 32-bit range, so it cannot overflow.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; position < text.size(); ++position) {
        const char digit = text[position];
        if (digit < '0' || digit > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > kLimit) {
            return false;
        }
    }
    if (!negative && magnitude == kLimit) {
        return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int toInteger(const std::string& text) {
    int value = 0;
    if (!tryToInteger(text, value)) {
        throw ConversionError(text);
    }
    return value;
}

}  // namespace storage
