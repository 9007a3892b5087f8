#include "ui/messages.h"

#include "storage/errors.h"
#include "platform/code_page_932.h"

namespace ui {

namespace {
// A box without owner is centred on the screen; task-modal keeps the
// program's own windows from being used meanwhile, and topmost keeps it above
// a stay-on-top main window.
constexpr UINT kOwnerlessBox = MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND;

// A box said while one of the program's windows is active belongs to that
// window, so it stays above it even when that window is on top of others.
void say(const std::wstring& text, UINT icon) {
    HWND active = GetActiveWindow();
    MessageBoxW(active, text.c_str(), kApplicationTitle,
                MB_OK | icon | (active ? MB_SETFOREGROUND : kOwnerlessBox));
}

std::wstring pathText(const platform::Path& path) {
    return path.wstring();
}
}  // namespace

void notice(const std::wstring& text) {
    say(text, 0);
}

// Without owner the program's windows stay usable while the question is open.
bool confirm(HWND owner, const std::wstring& caption, const std::wstring& text) {
    UINT flags = MB_YESNO | MB_DEFBUTTON2 | (owner ? 0 : MB_TOPMOST | MB_SETFOREGROUND);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags) == IDYES;
}

std::wstring errorText(const std::exception& error) {
    if (auto* conversion = dynamic_cast<const storage::ConversionError*>(&error)) {
        return L"'" + platform::fromCp932(conversion->text()) + L"' is not a valid integer value";
    }
    if (auto* file = dynamic_cast<const storage::FileError*>(&error)) {
        const std::wstring path = pathText(file->path());
        return file->kind() == storage::FileError::Kind::CannotCreate
                   ? L"ファイル " + path + L" を作成できません"
                   : L"ファイル " + path + L" は開けません";
    }
    return platform::fromUtf8(error.what());
}

void showError(const std::exception& error) {
    say(errorText(error), MB_ICONERROR);
}

}  // namespace ui
