#include "dialogs/rules/macro_templates.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "dialogs/rules/item_commands.h"
#include "paste/item_kind.h"

namespace {

using macro_templates::MacroTemplate;
using paste::ItemKind;

TEST(MacroTemplates, EachEntryWritesATitleThatPlaybackRecognises) {
    const std::vector<ItemKind> expected = {
        ItemKind::DateLong,  ItemKind::DateHyphen, ItemKind::DateEra,    ItemKind::Time,
        ItemKind::TimeColon, ItemKind::Counter,    ItemKind::WebAddress, ItemKind::Command,
        ItemKind::Separator, ItemKind::Sequence,
    };
    const auto templates = macro_templates::all();
    ASSERT_EQ(templates.size(), expected.size());
    for (std::size_t i = 0; i < templates.size(); ++i)
        EXPECT_EQ(paste::classify(std::string(templates[i].title)), expected[i])
            << templates[i].caption;
    EXPECT_EQ(templates[5].title, "@NUM,100");
    EXPECT_EQ(templates[8].title, item_commands::kSeparatorTitle);
}

TEST(MacroTemplates, OnlyCounterAndWebAddressSetAKeyCode) {
    for (const MacroTemplate& entry : macro_templates::all()) {
        if (entry.caption == "変動数字")
            EXPECT_EQ(entry.keyCode, "10");
        else if (entry.caption == "URL")
            EXPECT_EQ(entry.keyCode, "http://");
        else
            EXPECT_FALSE(entry.keyCode) << entry.caption;
    }
}

TEST(MacroTemplates, OnlyTheTenthEntryComposesASequence) {
    const auto templates = macro_templates::all();
    EXPECT_EQ(templates.back().caption, "プログラムモード");
    EXPECT_EQ(templates.back().title, "@PGM,");
    for (const MacroTemplate& entry : templates)
        EXPECT_EQ(entry.composesSequence, &entry == &templates.back()) << entry.caption;
}

TEST(MacroTemplates, APositionOutsideTheMenuChoosesNothing) {
    EXPECT_EQ(macro_templates::at(-1), nullptr);
    EXPECT_EQ(macro_templates::at(10), nullptr);
    EXPECT_EQ(macro_templates::at(0), &macro_templates::all()[0]);
    EXPECT_EQ(macro_templates::at(9), &macro_templates::all()[9]);
}

}  // namespace
