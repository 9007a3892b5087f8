// The kinds of item. The title alone decides, and only at delivery, so every
// title is stored and shown exactly as the user wrote it.
#pragma once

#include <string>

namespace paste {

enum class ItemKind {
    Separator,
    Plain,
    DateLong,    // 2005年01月01日
    DateHyphen,  // 2005-01-01
    DateEra,     // 平成17年1月1日
    Time,        // 09時05分
    TimeColon,   // 09:05
    Counter,
    Command,
    WebAddress,
    Sequence,
    Other,  // begins with "@" but is no macro: delivered like a plain item
};

// Titles are code page 932 bytes; the date and time titles are the only
// markers that are not plain ASCII.
namespace title {
inline constexpr const char* kDateLong = "@\x93\xfa\x95\x74";      // "@日付"
inline constexpr const char* kDateHyphen = "@\x93\xfa\x95\x74,-";  // "@日付,-"
inline constexpr const char* kDateEra = "@\x93\xfa\x95\x74,H";     // "@日付,H"
inline constexpr const char* kTime = "@\x8e\x9e\x8a\xd4";          // "@時間"
inline constexpr const char* kTimeColon = "@\x8e\x9e\x8a\xd4,:";   // "@時間,:"
}  // namespace title

ItemKind classify(const std::string& title);

bool isDateOrTime(ItemKind kind);

}  // namespace paste
