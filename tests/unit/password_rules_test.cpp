#include "dialogs/rules/password_rules.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace line = storage::settings_line;
using password_rules::Conversation;

// Answers input boxes from a script and records everything the user sees.
class ScriptedConversation : public Conversation {
public:
    explicit ScriptedConversation(std::deque<std::optional<std::string>> answers)
        : answers_(std::move(answers)) {}

    std::optional<std::string> ask(std::string_view caption, std::string_view prompt) override {
        seen.push_back("ask " + std::string(caption) + " / " + std::string(prompt));
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    void tell(std::string_view message) override { seen.push_back("tell " + std::string(message)); }

    std::vector<std::string> seen;

private:
    std::deque<std::optional<std::string>> answers_;
};

storage::SettingsRecord withPassword(const std::string& password) {
    auto settings = storage::SettingsRecord::builtInDefaults();
    settings.setLine(line::kPassword, password);
    return settings;
}

TEST(StartupPassword, IsAskedWhenTheFlagIsOnOrEmptyAndAnEmptyFlagBecomesOn) {
    auto settings = storage::SettingsRecord::builtInDefaults();
    EXPECT_TRUE(password_rules::askedAtStart(settings));
    settings.setLine(line::kPasswordAtStart, "");
    EXPECT_TRUE(password_rules::askedAtStart(settings));
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    settings.setLine(line::kPasswordAtStart, "0");
    EXPECT_FALSE(password_rules::askedAtStart(settings));
    settings.setLine(line::kPasswordAtStart, "yes");
    EXPECT_FALSE(password_rules::askedAtStart(settings));
}

TEST(StartupPassword, PassesOnlyOnTheExactBytes) {
    const auto settings = storage::SettingsRecord::builtInDefaults();
    EXPECT_TRUE(password_rules::isPassword(settings, std::string("mulberry")));
    EXPECT_FALSE(password_rules::isPassword(settings, std::string("Mulberry")));
    EXPECT_FALSE(password_rules::isPassword(settings, std::string("mulberry ")));
    // Cancel is the empty entry; an entry with no stored form matches nothing.
    EXPECT_FALSE(password_rules::isPassword(settings, std::string()));
    EXPECT_FALSE(password_rules::isPassword(settings, std::nullopt));
}

TEST(StartupPassword, AnEmptyStoredPasswordLetsCancelPass) {
    const auto settings = withPassword("");
    EXPECT_TRUE(password_rules::isPassword(settings, std::string()));
    EXPECT_FALSE(password_rules::isPassword(settings, std::nullopt));
}

TEST(PasswordChange, AsksThreeBoxesAndStoresTheNewPassword) {
    auto settings = withPassword("old");
    ScriptedConversation conversation({"old", "\x82\xa0new", "\x82\xa0new"});
    password_rules::changePassword(settings, conversation);
    EXPECT_EQ(settings.line(line::kPassword), "\x82\xa0new");
    EXPECT_EQ(conversation.seen,
              (std::vector<std::string>{
                  "ask ねむろく認証 / パスワードを入力してください", "tell パスワード確認！",
                  "ask パスワード確認(1) / 変更後のパスワードを入力してください",
                  "ask パスワード確認(2) / 変更後のパスワードを入力してください",
                  "tell パスワードを変更しました。"}));
}

TEST(PasswordChange, AWrongCurrentPasswordChangesNothing) {
    auto settings = withPassword("old");
    ScriptedConversation conversation({"olD"});
    password_rules::changePassword(settings, conversation);
    EXPECT_EQ(settings.line(line::kPassword), "old");
    EXPECT_EQ(conversation.seen.back(), "tell " + std::string(password_rules::kNotChanged));
    EXPECT_EQ(conversation.seen.size(), 2u);
}

TEST(PasswordChange, TwoDifferentNewPasswordsChangeNothing) {
    auto settings = withPassword("old");
    ScriptedConversation conversation({"old", "new1", "new2"});
    password_rules::changePassword(settings, conversation);
    EXPECT_EQ(settings.line(line::kPassword), "old");
    EXPECT_EQ(conversation.seen.back(), "tell " + std::string(password_rules::kNotChanged));
}

TEST(PasswordChange, CancelOrAnEmptyEntryInEitherNewBoxKeepsThePassword) {
    for (const auto& newBoxes : {std::deque<std::optional<std::string>>{""},
                                 std::deque<std::optional<std::string>>{"new", ""}}) {
        auto settings = withPassword("old");
        auto answers = newBoxes;
        answers.push_front("old");
        ScriptedConversation conversation(answers);
        password_rules::changePassword(settings, conversation);
        EXPECT_EQ(settings.line(line::kPassword), "old");
        EXPECT_EQ(conversation.seen.back(), "tell パスワードは変更されませんでした。");
        EXPECT_EQ(conversation.seen.size(), 3 + newBoxes.size());  // no box asked after it
    }
}

TEST(PasswordChange, ANewPasswordWithoutStoredFormIsNotTaken) {
    auto settings = withPassword("old");
    ScriptedConversation conversation({"old", std::nullopt, std::nullopt});
    password_rules::changePassword(settings, conversation);
    EXPECT_EQ(settings.line(line::kPassword), "old");
    EXPECT_EQ(conversation.seen.back(), "tell " + std::string(password_rules::kNotChanged));
}

TEST(AskingAtStart, SwitchingOffNeedsThePassword) {
    auto settings = withPassword("pw");
    ScriptedConversation right({"pw"});
    EXPECT_TRUE(password_rules::confirmAskingAtStart(settings, false, right));
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "0");
    EXPECT_EQ(right.seen,
              (std::vector<std::string>{"ask パスワード確認 / パスワードを入力して下さい。"}));

    settings.setLine(line::kPasswordAtStart, "1");
    ScriptedConversation wrong({"PW"});
    EXPECT_FALSE(password_rules::confirmAskingAtStart(settings, false, wrong));
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_EQ(wrong.seen.back(), "tell " + std::string(password_rules::kNotSwitchedOff));
}

TEST(AskingAtStart, SwitchingOnNeedsNoPassword) {
    auto settings = withPassword("pw");
    settings.setLine(line::kPasswordAtStart, "0");
    ScriptedConversation conversation({});
    EXPECT_TRUE(password_rules::confirmAskingAtStart(settings, true, conversation));
    EXPECT_EQ(settings.line(line::kPasswordAtStart), "1");
    EXPECT_TRUE(conversation.seen.empty());
}

}  // namespace
