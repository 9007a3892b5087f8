// What the secondary windows say, other than the captions of their controls,
// which stand in each window's control table: one section per window. Texts
// that a portable rule says (the password change, the macro templates) stay
// with the rule in dialogs/rules/, in UTF-8.
#pragma once

namespace dialog_texts {

// The about window.
inline constexpr const wchar_t* kAboutCaption = L"バージョン情報";

// The edit window.
inline constexpr const wchar_t* kEditCaption = L"編集ウインドウ";
inline constexpr const wchar_t* kItemChanged = L"項目が変更されたため登録できませんでした";

// The start-up password window and the password check window.
inline constexpr const wchar_t* kPasswordCaption = L"ねむろく認証";
inline constexpr const wchar_t* kWrongInCheckWindow =
    L"パスワードが間違っています。\r\n変更できませんでした。";

// The program mode window.
inline constexpr const wchar_t* kProgramModeCaption = L"プログラムモード入力ウインドウ";

// The registration window.
inline constexpr const wchar_t* kRegistrationCaption = L"登録ウインドウ";

// The settings window.
inline constexpr const wchar_t* kSettingsCaption = L"詳細設定";

// The security settings window.
inline constexpr const wchar_t* kSecurityCaption = L"セキュリティ設定";

}  // namespace dialog_texts
