// The modal input box: a caption, a prompt, one line of at most 255
// characters, "OK" and "キャンセル".
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// Whether the entry shows what is typed, or "*" for each character.
enum class InputEcho { Shown, Masked };

// Returns the entered text on OK and the empty text on Cancel or any other
// way of closing the box.
std::wstring inputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                      const std::wstring& initialText, InputEcho echo = InputEcho::Shown);

}  // namespace ui
