#include "dialogs/rules/macro_templates.h"

#include <array>

namespace macro_templates {

namespace {
// The first five captions are samples of what the macro pastes.
constexpr std::array kTemplates{
    MacroTemplate{"2005年1月1日", "@\x93\xfa\x95\x74", std::nullopt},      // "@日付"
    MacroTemplate{"2005-01-01", "@\x93\xfa\x95\x74,-", std::nullopt},      // "@日付,-"
    MacroTemplate{"平成17年1月1日", "@\x93\xfa\x95\x74,H", std::nullopt},  // "@日付,H"
    MacroTemplate{"12時00分", "@\x8e\x9e\x8a\xd4", std::nullopt},          // "@時間"
    MacroTemplate{"12:00", "@\x8e\x9e\x8a\xd4,:", std::nullopt},           // "@時間,:"
    MacroTemplate{"変動数字", "@NUM,100", "10"},
    MacroTemplate{"URL", "@URL,", "http://"},
    MacroTemplate{"コマンドライン", "@EXE,", std::nullopt},
    MacroTemplate{"区切り線", "---------------", std::nullopt},
    MacroTemplate{"プログラムモード", "@PGM,", std::nullopt, true},
};
}  // namespace

std::span<const MacroTemplate> all() {
    return kTemplates;
}

const MacroTemplate* at(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= kTemplates.size()) return nullptr;
    return &kTemplates[static_cast<std::size_t>(position)];
}

}  // namespace macro_templates
