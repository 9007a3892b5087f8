#include "ui/messages.h"

#include "storage/errors.h"
#include "ui/text.h"

namespace ui {

namespace {
// A box without owner is centred on the screen; task-modal keeps the
// program's own windows from being used meanwhile, and topmost keeps it above
// a stay-on-top main window.
constexpr UINT kOwnerlessBox = MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND;

std::wstring pathText(const platform::Path& path) {
    return path.wstring();
}
}  // namespace

void notice(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), kApplicationTitle, MB_OK | kOwnerlessBox);
}

bool confirm(HWND owner, const std::wstring& caption, const std::wstring& text) {
    UINT flags = MB_YESNO | MB_DEFBUTTON2 | (owner ? 0 : kOwnerlessBox);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags) == IDYES;
}

std::wstring errorText(const std::exception& error) {
    if (auto* conversion = dynamic_cast<const storage::ConversionError*>(&error)) {
        return L"'" + fromCp932(conversion->text()) + L"' is not a valid integer value";
    }
    if (auto* file = dynamic_cast<const storage::FileError*>(&error)) {
        const std::wstring path = pathText(file->path());
        return file->kind() == storage::FileError::Kind::CannotCreate
                   ? L"ファイル " + path + L" を作成できません"
                   : L"ファイル " + path + L" は開けません";
    }
    return fromUtf8(error.what());
}

void showError(const std::exception& error) {
    MessageBoxW(nullptr, errorText(error).c_str(), kApplicationTitle,
                MB_OK | MB_ICONERROR | kOwnerlessBox);
}

}  // namespace ui
