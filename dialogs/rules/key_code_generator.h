// The key code generator of the registration window: twenty characters drawn
// from the classes the user allows, of which the chosen length is kept. Each
// press reseeds from the clock, so two presses within one millisecond give
// the same key code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace key_code_generator {

inline constexpr std::string_view kUpperLowerDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::string_view kDigitsUpper = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";

inline constexpr int kDraws = 20;
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

// The seed: milliseconds since midnight of the UTC time of day.
std::uint32_t millisecondsSinceMidnight(int hour, int minute, int second, int millisecond);

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    // A number from 0 to n - 1: the upper half of the new state times n.
    std::uint32_t below(std::uint32_t n);

private:
    std::uint32_t state_;
};

// The first `length` (at most 20) of twenty characters drawn with the seed;
// nothing when no class is allowed, so the key code field keeps its text.
std::optional<std::string> generate(const CharacterClasses& classes, int length,
                                    std::uint32_t seed);

}  // namespace key_code_generator
