// The start-up password and the password change of the main window.
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "dialogs/password_rules.h"
#include "ui/input_box.h"
#include "ui/messages.h"
#include "ui/text.h"

using namespace main_window;

namespace {

// Input boxes and notices for the password rules.
class InputBoxConversation : public password_rules::Conversation {
public:
    explicit InputBoxConversation(HWND owner) : owner_(owner) {}

    std::optional<std::string> ask(std::string_view caption, std::string_view prompt) override {
        const std::wstring answer =
            ui::inputBox(owner_, ui::fromUtf8(caption), ui::fromUtf8(prompt), L"");
        std::string bytes;
        if (ui::toCp932(answer, bytes))
            return bytes;
        ui::notice(L"入力された文字の中に、保存できない文字があります。");
        return std::nullopt;
    }
    void tell(std::string_view message) override { ui::notice(ui::fromUtf8(message)); }

private:
    HWND owner_;
};

}  // namespace

void TForm1::createSecondaryWindows() {
    startupPasswordWindow_ = std::make_unique<TForm7>();
    startupPasswordWindow_->create(hwnd());
    passwordCheckWindow_ = std::make_unique<TForm8>(settings_, [this] { uncoverKeyCode(); });
    passwordCheckWindow_->create(hwnd());
}

// Asked once, before the window first appears; one attempt. The window is
// not needed again in this run.
bool TForm1::passStartupPassword() {
    if (!password_rules::askedAtStart(settings_))
        return true;
    const auto entered = startupPasswordWindow_->askPassword();
    startupPasswordWindow_.reset();
    if (password_rules::isPassword(settings_, entered))
        return true;
    ui::notice(ui::fromUtf8(password_rules::kWrongAtStart));
    return false;
}

// "パスワードの変更": in memory until the settings are next saved.
void TForm1::N15Click() {
    InputBoxConversation conversation(hwnd());
    password_rules::changePassword(settings_, conversation);
}
