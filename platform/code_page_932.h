// Conversions between the model's code page 932 bytes and the UTF-16 text of
// Windows. Always code page 932, never the system's ANSI code page, so the
// program behaves the same on any Windows locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::wstring fromCp932(std::string_view bytes);

// Nothing when a character has no code page 932 form.
std::optional<std::string> toCp932(std::wstring_view text);

std::wstring fromUtf8(std::string_view utf8);

}  // namespace platform
