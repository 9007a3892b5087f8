// The password rules' questions and notices as input boxes and message boxes.
#pragma once

#include <windows.h>

#include "dialogs/rules/password_rules.h"

class InputBoxConversation : public password_rules::Conversation {
public:
    explicit InputBoxConversation(HWND owner) : owner_(owner) {}
    std::optional<std::string> ask(std::string_view caption, std::string_view prompt) override;
    void tell(std::string_view message) override;

private:
    HWND owner_;
};
