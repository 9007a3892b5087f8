// The program's message boxes.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace ui {

inline constexpr const wchar_t* kApplicationTitle = L"ねむろく";
// Said when typed text has characters that the stored files cannot hold.
inline constexpr const wchar_t* kUnstorableText =
    L"入力された文字の中に、保存できない文字があります。\r\n別の文字で入力してください。";

// A notice: OK only, no icon, captioned with the application title and
// centred on the screen.
void notice(const std::wstring& text);

// A confirmation with Yes and No, No being the default; true on Yes.
bool confirm(HWND owner, const std::wstring& caption, const std::wstring& text);

// The text shown for an error that ended an operation: a failed conversion
// ("'%s' is not a valid integer value") or a file that could not be written
// or read.
std::wstring errorText(const std::exception& error);

// The one place where such errors are shown.
void showError(const std::exception& error);

}  // namespace ui
