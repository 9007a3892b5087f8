#include "paste/counter.h"

#include <cstdint>

#include "storage/integer_text.h"

namespace paste {

namespace {
constexpr std::size_t kMarkerLength = 5;  // "@NUM" and one character the template makes ","
}

Counter readCounter(const std::string& title, const std::string& keyCode) {
    const std::string stepText = title.size() > kMarkerLength ? title.substr(kMarkerLength) : "";
    Counter counter;
    counter.step = storage::toInteger(stepText);
    counter.value = storage::toInteger(keyCode);
    return counter;
}

std::string advancedKeyCode(const Counter& counter) {
    const auto sum =
        static_cast<std::uint32_t>(counter.value) + static_cast<std::uint32_t>(counter.step);
    return std::to_string(static_cast<std::int32_t>(sum));
}

}  // namespace paste
