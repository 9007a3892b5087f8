#include "dialogs/input_box_conversation.h"

#include "ui/input_box.h"
#include "ui/messages.h"
#include "platform/code_page_932.h"

std::optional<std::string> InputBoxConversation::ask(std::string_view caption,
                                                     std::string_view prompt) {
    const std::wstring answer =
        ui::inputBox(owner_, platform::fromUtf8(caption), platform::fromUtf8(prompt), L"",
                     ui::InputEcho::Masked);
    if (auto bytes = platform::toCp932(answer)) return bytes;
    ui::notice(ui::kUnstorableText);
    return std::nullopt;
}

void InputBoxConversation::tell(std::string_view message) {
    ui::notice(platform::fromUtf8(message));
}
