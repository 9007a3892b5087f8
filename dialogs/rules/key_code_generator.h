// The key code generator of the registration window: characters drawn with
// the system's secure random generator from the classes the user allows, as
// many as the chosen length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/random_source.h"

namespace key_code_generator {

inline constexpr std::string_view kUpperLowerDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::string_view kDigitsUpper = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";

inline constexpr int kLongestLength = 20;

struct CharacterClasses {
    bool digits = true;
    bool upperCase = true;
    bool lowerCase = true;
};

// A run of one of the three strings that characters are drawn from.
struct DrawSet {
    std::string_view characters;
    std::uint32_t first;
    std::uint32_t size;
};

// Nothing when no class is allowed.
std::optional<DrawSet> drawSet(const CharacterClasses& classes);

// A number from 0 to n - 1, each equally likely.
std::uint32_t drawBelow(platform::RandomSource& random, std::uint32_t n);

// `length` characters (at most 20); nothing when no class is allowed, so the
// key code field keeps its text.
std::optional<std::string> generate(const CharacterClasses& classes, int length,
                                    platform::RandomSource& random);

}  // namespace key_code_generator
