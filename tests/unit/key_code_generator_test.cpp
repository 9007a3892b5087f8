#include "dialogs/rules/key_code_generator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using key_code_generator::CharacterClasses;
using key_code_generator::generate;

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

TEST(KeyCodeGenerator, EachClassCodeDrawsOnlyAndEveryCharacterOfItsSet) {
    for (const ClassCase& c : kClassCases) {
        std::set<char> seen;
        for (std::uint32_t seed = 0; seed < 86'400'000; seed += 86'399) {
            const auto code = generate(c.classes, 20, seed);
            ASSERT_TRUE(code);
            for (char ch : *code) {
                ASSERT_NE(c.allowed.find(ch), std::string::npos) << c.allowed << " drew " << ch;
                seen.insert(ch);
            }
        }
        EXPECT_EQ(seen.size(), c.allowed.size()) << c.allowed;
    }
}

TEST(KeyCodeGenerator, NoAllowedClassGivesNothing) {
    EXPECT_FALSE(generate({false, false, false}, 7, 1234));
}

// Worked out independently from state = state * 134775813 + 1 (mod 2^32) and
// r = (state * n) >> 32.
TEST(KeyCodeGenerator, AFixedSeedReproducesAKnownSequence) {
    key_code_generator::Random random(12345);
    EXPECT_EQ(random.below(1000), 385u);
    EXPECT_EQ(random.below(1000), 289u);
    EXPECT_EQ(random.below(1000), 79u);

    EXPECT_EQ(generate({true, true, true}, 20, 0), "AB1MQpTKXaFdE0DS4WwU");
    EXPECT_EQ(generate({true, true, true}, 20, 45'296'789), "eQWBrcGfyFK7595QJmLm");
    EXPECT_EQ(generate({true, false, false}, 20, 45'296'789), "42306415801999921616");
    // Lower case and digits start at S62 position 26.
    EXPECT_EQ(generate({true, false, true}, 20, 86'399'999), "09mifd48w4k3mm0zolop");
}

TEST(KeyCodeGenerator, TheLengthKeepsAPrefixOfTheTwentyDraws) {
    const CharacterClasses all;
    EXPECT_EQ(generate(all, 7, 0), "AB1MQpT");
    EXPECT_EQ(generate(all, 1, 0), "A");
    EXPECT_EQ(generate(all, 0, 0), "");
    EXPECT_EQ(generate(all, 25, 0), "AB1MQpTKXaFdE0DS4WwU");
}

TEST(KeyCodeGenerator, TheSameMillisecondGivesTheSameKeyCode) {
    const std::uint32_t seed = key_code_generator::millisecondsSinceMidnight(12, 34, 56, 789);
    EXPECT_EQ(seed, 45'296'789u);
    EXPECT_EQ(generate({}, 20, seed), generate({}, 20, seed));
    EXPECT_NE(generate({}, 20, seed), generate({}, 20, seed + 1));
    EXPECT_EQ(key_code_generator::millisecondsSinceMidnight(23, 59, 59, 999), 86'399'999u);
}

}  // namespace
