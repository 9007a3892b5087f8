#include "dialogs/rules/password_rules.h"

namespace password_rules {

namespace line = storage::settings_line;

bool askedAtStart(storage::SettingsRecord& settings) {
    if (settings.line(line::kPasswordAtStart).empty())
        settings.setLine(line::kPasswordAtStart, "1");
    return settings.isOn(line::kPasswordAtStart);
}

bool isPassword(const storage::SettingsRecord& settings, const std::optional<std::string>& entry) {
    return entry && *entry == settings.line(line::kPassword);
}

void changePassword(storage::SettingsRecord& settings, Conversation& conversation) {
    if (!isPassword(settings, conversation.ask("ねむろく認証", "パスワードを入力してください"))) {
        conversation.tell(kNotChanged);
        return;
    }
    conversation.tell(kConfirmation);
    // Cancel gives the empty entry, which must never become the password.
    const auto first =
        conversation.ask("パスワード確認(1)", "変更後のパスワードを入力してください");
    if (first && first->empty()) {
        conversation.tell(kKept);
        return;
    }
    const auto second =
        conversation.ask("パスワード確認(2)", "変更後のパスワードを入力してください");
    if (second && second->empty()) {
        conversation.tell(kKept);
        return;
    }
    if (!first || first != second) {
        conversation.tell(kNotChanged);
        return;
    }
    conversation.tell(kChanged);
    settings.setLine(line::kPassword, *first);
}

bool confirmAskingAtStart(storage::SettingsRecord& settings, bool ticked,
                          Conversation& conversation) {
    if (!ticked &&
        !isPassword(settings, conversation.ask("パスワード確認", "パスワードを入力して下さい。"))) {
        conversation.tell(kNotSwitchedOff);
        return false;
    }
    settings.setLine(line::kPasswordAtStart, ticked ? "1" : "0");
    return true;
}

}  // namespace password_rules
