// The start-up password: when it is asked, what passes, how it is changed and
// how asking for it at start is switched off. The texts the user sees are
// UTF-8; entries and the stored password are code page 932 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "storage/settings_record.h"

namespace password_rules {

// What the rules need of the user interface: input boxes and notices.
class Conversation {
public:
    virtual ~Conversation() = default;
    // An input box for a password, its entry masked: the answer as code page
    // 932 bytes, the empty text when it is cancelled, nothing when the answer
    // has no code page 932 form.
    virtual std::optional<std::string> ask(std::string_view caption, std::string_view prompt) = 0;
    virtual void tell(std::string_view message) = 0;
};

inline constexpr std::string_view kNotChanged =
    "パスワードが間違っています。\r\nパスワードは変更されませんでした。";
inline constexpr std::string_view kNotSwitchedOff =
    "パスワードが間違っています。\r\nパスワード解除できませんでした。";
inline constexpr std::string_view kConfirmation = "パスワード確認！";
inline constexpr std::string_view kChanged = "パスワードを変更しました。";
inline constexpr std::string_view kKept = "パスワードは変更されませんでした。";

// Whether the start-up password is asked. An empty flag counts as on and is
// written as "1".
bool askedAtStart(storage::SettingsRecord& settings);

// An exact, byte-for-byte comparison with the stored password.
bool isPassword(const storage::SettingsRecord& settings, const std::optional<std::string>& entry);

// The password change: the current password, then the new one twice. Cancel
// or an empty entry keeps the password. The change stays in memory until the
// settings are next saved.
void changePassword(storage::SettingsRecord& settings, Conversation& conversation);

// Run whenever the box for asking the password at start changes. Unticking
// needs the password; returns false when it was wrong and the box must be
// ticked again.
bool confirmAskingAtStart(storage::SettingsRecord& settings, bool ticked,
                          Conversation& conversation);

}  // namespace password_rules
