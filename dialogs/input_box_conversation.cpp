#include "dialogs/input_box_conversation.h"

#include "ui/input_box.h"
#include "ui/messages.h"
#include "ui/text.h"

std::optional<std::string> InputBoxConversation::ask(std::string_view caption,
                                                     std::string_view prompt) {
    const std::wstring answer =
        ui::inputBox(owner_, ui::fromUtf8(caption), ui::fromUtf8(prompt), L"");
    std::string bytes;
    if (ui::toCp932(answer, bytes)) return bytes;
    ui::notice(ui::kUnstorableText);
    return std::nullopt;
}

void InputBoxConversation::tell(std::string_view message) {
    ui::notice(ui::fromUtf8(message));
}
