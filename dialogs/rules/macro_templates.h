// The template menu of the registration window: each entry writes the title
// of a macro item, and some a starting key code. Captions are UTF-8 for the
// user interface; titles and key codes are code page 932 bytes.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace macro_templates {

// The menu's text while no entry is chosen.
inline constexpr std::string_view kMenuPlaceholder = "@メニュー";

struct MacroTemplate {
    std::string_view caption;
    std::string_view title;
    std::optional<std::string_view> keyCode;  // nothing: the key code field keeps its text
    bool composesSequence = false;            // opens the program mode window
};

std::span<const MacroTemplate> all();

// The entry at `position` of the menu; nothing when no entry is chosen (-1).
const MacroTemplate* at(int position);

}  // namespace macro_templates
