// The common open and save dialogs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

struct FileDialogRequest {
    const wchar_t* initialName;
    // Pairs of description and pattern, each ending with '\0', the whole list
    // ending with a second '\0'.
    const wchar_t* filter;
};

// The chosen path exactly as typed or picked (no extension is added), or
// nothing when the user cancels. The save dialog does not ask before
// replacing a file; the open dialog accepts a name that does not exist.
std::optional<std::wstring> askFileToSave(HWND owner, const FileDialogRequest& request);
std::optional<std::wstring> askFileToOpen(HWND owner, const FileDialogRequest& request);

}  // namespace ui
