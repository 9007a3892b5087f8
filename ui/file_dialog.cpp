#include "ui/file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/lazy_function.h"

namespace ui {

namespace {
constexpr DWORD kPathCapacity = 32768;

std::optional<std::wstring> runDialog(HWND owner, const FileDialogRequest& request, bool save) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    lstrcpynW(path.data(), request.initialName, static_cast<int>(path.size()));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const auto ask = save ? platform::lazyFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll",
                                                                               "GetSaveFileNameW")
                          : platform::lazyFunction<decltype(GetOpenFileNameW)>(L"comdlg32.dll",
                                                                               "GetOpenFileNameW");
    if (!ask || !ask(&dialog)) return std::nullopt;
    return std::wstring(path.data());
}
}  // namespace

std::optional<std::wstring> askFileToSave(HWND owner, const FileDialogRequest& request) {
    return runDialog(owner, request, true);
}

std::optional<std::wstring> askFileToOpen(HWND owner, const FileDialogRequest& request) {
    return runDialog(owner, request, false);
}

}  // namespace ui
