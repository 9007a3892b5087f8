#include "dialogs/rules/key_code_generator.h"

#include <algorithm>
#include <limits>

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

// Numbers in the incomplete last round of n below 2^32 are drawn again: taken
// modulo n they would make the first characters of the set more likely.
std::uint32_t drawBelow(platform::RandomSource& random, std::uint32_t n) {
    const std::uint32_t rounds = std::numeric_limits<std::uint32_t>::max() / n;
    for (;;) {
        const std::uint32_t drawn = random.next();
        if (drawn / n < rounds) return drawn % n;
    }
}

std::optional<std::string> generate(const CharacterClasses& classes, int length,
                                    platform::RandomSource& random) {
    const std::optional<DrawSet> set = drawSet(classes);
    if (!set) return std::nullopt;
    std::string drawn(static_cast<std::size_t>(std::clamp(length, 0, kLongestLength)), '\0');
    for (char& c : drawn) c = set->characters[set->first + drawBelow(random, set->size)];
    return drawn;
}

}  // namespace key_code_generator
