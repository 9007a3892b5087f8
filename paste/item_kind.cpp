#include "paste/item_kind.h"

#include <string_view>

namespace paste {

namespace {
bool beginsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
}  // namespace

// The first rule that applies decides, so "----" wins over "@" and the exact
// date and time titles over the "@" prefixes.
ItemKind classify(const std::string& title) {
    if (beginsWith(title, "----")) return ItemKind::Separator;
    if (!beginsWith(title, "@")) return ItemKind::Plain;
    if (title == title::kDateLong) return ItemKind::DateLong;
    if (title == title::kDateHyphen) return ItemKind::DateHyphen;
    if (title == title::kDateEra) return ItemKind::DateEra;
    if (title == title::kTime) return ItemKind::Time;
    if (title == title::kTimeColon) return ItemKind::TimeColon;
    if (beginsWith(title, "@NUM")) return ItemKind::Counter;
    if (beginsWith(title, "@EXE")) return ItemKind::Command;
    if (beginsWith(title, "@URL")) return ItemKind::WebAddress;
    if (beginsWith(title, "@PGM")) return ItemKind::Sequence;
    return ItemKind::Other;
}

bool isDateOrTime(ItemKind kind) {
    switch (kind) {
        case ItemKind::DateLong:
        case ItemKind::DateHyphen:
        case ItemKind::DateEra:
        case ItemKind::Time:
        case ItemKind::TimeColon:
            return true;
        default:
            return false;
    }
}

}  // namespace paste
