#include "dialogs/rules/key_code_generator.h"

#include <algorithm>

namespace key_code_generator {

std::optional<DrawSet> drawSet(const CharacterClasses& classes) {
    const auto [digits, upper, lower] = classes;
    if (digits && upper && lower) return DrawSet{kUpperLowerDigits, 0, 62};
    if (digits && upper) return DrawSet{kDigitsUpper, 0, 36};
    if (digits && lower) return DrawSet{kUpperLowerDigits, 26, 36};  // a to z, then 0 to 9
    if (digits) return DrawSet{kDigitsUpper, 0, 10};
    if (upper && lower) return DrawSet{kUpperLowerDigits, 0, 52};
    if (upper) return DrawSet{kUpperLowerDigits, 0, 26};
    if (lower) return DrawSet{kLower, 0, 26};
    return std::nullopt;
}

std::uint32_t millisecondsSinceMidnight(int hour, int minute, int second, int millisecond) {
    return static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

std::uint32_t Random::below(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{state_} * n) >> 32);
}

// Always twenty draws, whatever the length, so that a key code depends only
// on the seed and the classes.
std::optional<std::string> generate(const CharacterClasses& classes, int length,
                                    std::uint32_t seed) {
    const std::optional<DrawSet> set = drawSet(classes);
    if (!set) return std::nullopt;
    Random random(seed);
    std::string drawn;
    for (int i = 0; i < kDraws; ++i) drawn += set->characters[set->first + random.below(set->size)];
    drawn.resize(static_cast<std::size_t>(std::clamp(length, 0, kDraws)));
    return drawn;
}

}  // namespace key_code_generator
