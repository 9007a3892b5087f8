// What the main window says, other than the captions of its controls, which
// stand in its control table. Every secondary window keeps its texts the same
// way, in dialogs/texts.h.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace main_window::texts {

inline constexpr const wchar_t* kMissingSettings =
    L"設定ファイルがみつかりません\r\nパスワード漏洩防止の為データをクリアします";
inline constexpr const wchar_t* kHotkeysFailed = L"ショートカットキーの設定に失敗しました";
inline constexpr const wchar_t* kWrongAtStart = L"パスワードが間違っています。\r\n終了します。";
// A wrong password for a lock (the program stays locked and running) or for
// switching the format of the stored files (nothing changes).
inline constexpr const wchar_t* kWrongPassword = L"パスワードが間違っています。";

// The lock options of the security window.
inline constexpr const wchar_t* kLockNeedsPassword =
    L"自動でロックするには、詳細設定の「ねむろく起動毎に要求する」をオンにしてください。";
inline constexpr const wchar_t* kIdleMinutesRange =
    L"分には 1 から 999 までの数を入力してください。";

// The format of the stored files, switched in the security settings window.
inline constexpr const wchar_t* kEncryptedWithPassword =
    L"保存ファイルをパスワードで暗号化しました";
inline constexpr const wchar_t* kBackToClassic = L"保存ファイルを通常の暗号化に戻しました";
inline std::wstring leftAsItWas(const platform::Path& unreadFile) {
    return L"ファイル " + unreadFile.wstring() + L" は読み込めなかったため、そのまま残しました。";
}

// Hints of the top bar and the title list.
inline constexpr const wchar_t* kKeyCodeDisplayHint = L"キーコード,(コンパクト)";
inline constexpr const wchar_t* kGroupButtonHint = L"グループを変更します";
inline constexpr const wchar_t* kMaskToggleHint = L"キーコードをマスクします";
inline constexpr const wchar_t* kTransparencyToggleHint = L"ウインドウを透過処理します";
inline constexpr const wchar_t* kNewlineToggleHint = L"キーコードを貼り付けた後改行します";
inline constexpr const wchar_t* kMinimiseButtonHint = L"アイコンの状態に最小化します";
inline constexpr const wchar_t* kTitleListHint = L"タイトル,(貼り付け)";

// Import and export of the group on display.
inline constexpr const wchar_t kGroupFileFilter[] = L"ネムロク設定ファイル\0*.ini\0";
inline constexpr const wchar_t* kImportFileName = L"設定ファイル.ini";
inline constexpr const wchar_t* kExportFileName = L"設定ファイル";
inline constexpr const wchar_t* kCannotReadPair = L"読み込めません";
inline constexpr const wchar_t* kClearCaption = L"クリア確認";
inline constexpr const wchar_t* kClearQuestion =
    L"このグループの内容を全てクリアしてもよろしいですか？";
// Export does not write over the program's own files, and asks before it
// replaces another.
inline std::wstring programFileRefused(const platform::Path& file) {
    return L"ファイル " + file.wstring() + L" はねむろくが使うファイルのため、書き出せません";
}
inline std::wstring replaceQuestion(const platform::Path& file) {
    return file.wstring() + L" は既にあります。\r\n上書きしますか？";
}

// The item commands.
inline constexpr const wchar_t* kListFull = L"登録できるタイトル数が上限に達しています。";
inline constexpr const wchar_t* kDeleteCaption = L"削除確認";
inline constexpr const wchar_t* kDeleteQuestion = L"この項目を削除してもよろしいですか？";

// Said instead of writing over a stored file that could not be read.
inline std::wstring refusal(const platform::Path& unreadFile) {
    return L"ファイル " + unreadFile.wstring() + L" は読み込めなかったため、上書きしませんでした。";
}
// Said of a file that a first start could not delete.
inline std::wstring cannotDelete(const platform::Path& file) {
    return L"ファイル " + file.wstring() + L" は削除できません";
}

}  // namespace main_window::texts
