// Conversions between the model's code page 932 bytes and the UTF-16 text of
// the Windows user interface. Always code page 932, never the system's ANSI
// code page, so the program behaves the same on any Windows locale.
#pragma once

#include <string>
#include <string_view>

namespace ui {

std::wstring fromCp932(std::string_view bytes);

// Converts to code page 932; returns false (and leaves `bytes` empty) when a
// character has no code page 932 form.
bool toCp932(std::wstring_view text, std::string& bytes);

std::wstring fromUtf8(std::string_view utf8);

}  // namespace ui
