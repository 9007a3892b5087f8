#include "dialogs/rules/key_code_generator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using key_code_generator::CharacterClasses;
using key_code_generator::generate;

// Gives the numbers it was given, then counts up from 0.
class KnownRandom : public platform::RandomSource {
public:
    explicit KnownRandom(std::vector<std::uint32_t> first = {}) : first_(std::move(first)) {}
    std::uint32_t next() override { return given_ < first_.size() ? first_[given_++] : counted_++; }

private:
    std::vector<std::uint32_t> first_;
    std::size_t given_ = 0;
    std::uint32_t counted_ = 0;
};

// Every combination of the three boxes with the characters it may draw.
struct ClassCase {
    CharacterClasses classes;
    std::string allowed;
};

const std::string kDigits = "0123456789";
const std::string kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kLower = "abcdefghijklmnopqrstuvwxyz";

const ClassCase kClassCases[] = {
    {{true, true, true}, kDigits + kUpper + kLower},
    {{true, true, false}, kDigits + kUpper},
    {{true, false, true}, kDigits + kLower},
    {{true, false, false}, kDigits},
    {{false, true, true}, kUpper + kLower},
    {{false, true, false}, kUpper},
    {{false, false, true}, kLower},
};

std::set<char> drawnCharacters(const CharacterClasses& classes, platform::RandomSource& random,
                               int keyCodes) {
    std::set<char> drawn;
    for (int i = 0; i < keyCodes; ++i) {
        const auto code = generate(classes, 20, random);
        EXPECT_TRUE(code);
        drawn.insert(code->begin(), code->end());
    }
    return drawn;
}

TEST(KeyCodeGenerator, EachClassCodeDrawsOnlyAndEveryCharacterOfItsSet) {
    for (const ClassCase& c : kClassCases) {
        KnownRandom counting;
        const std::set<char> allowed(c.allowed.begin(), c.allowed.end());
        EXPECT_EQ(drawnCharacters(c.classes, counting, 4), allowed) << c.allowed;
    }
    // Lower case and digits start at S62 position 26.
    KnownRandom counting;
    EXPECT_EQ(generate({true, false, true}, 20, counting), "abcdefghijklmnopqrst");
}

TEST(KeyCodeGenerator, TheSystemGeneratorGivesAnotherKeyCodeEachTime) {
    const CharacterClasses all;
    platform::RandomSource& system = platform::systemRandom();
    const auto first = generate(all, 20, system);
    EXPECT_NE(first, generate(all, 20, system));
    const std::set<char> allowed(kClassCases[0].allowed.begin(), kClassCases[0].allowed.end());
    EXPECT_EQ(drawnCharacters(all, system, 100), allowed);
}

TEST(KeyCodeGenerator, NoAllowedClassGivesNothing) {
    KnownRandom counting;
    EXPECT_FALSE(generate({false, false, false}, 7, counting));
}

// 2^32 = 69273666 * 62 + 4: the four highest numbers would favour "ABCD".
TEST(KeyCodeGenerator, NumbersOfTheIncompleteLastRoundAreDrawnAgain) {
    KnownRandom random({0xFFFF'FFFF, 0xFFFF'FFFC, 0xFFFF'FFFB});
    EXPECT_EQ(generate({}, 1, random), "9");
}

TEST(KeyCodeGenerator, TheLengthIsTheNumberOfCharactersUpToTwenty) {
    const CharacterClasses all;
    KnownRandom counting;
    EXPECT_EQ(generate(all, 7, counting), "ABCDEFG");
    EXPECT_EQ(generate(all, 1, counting), "H");
    EXPECT_EQ(generate(all, 0, counting), "");
    EXPECT_EQ(generate(all, 25, counting)->size(), 20u);
}

}  // namespace
