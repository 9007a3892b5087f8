#include "dialogs/item_editing_controls.h"

#include <commctrl.h>

#include "ui/controls.h"

namespace item_editing {

void setEntries(HWND comboBox, const std::vector<std::wstring>& entries) {
    SendMessageW(comboBox, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : entries)
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void showRowsWhenOpen(HWND comboBox, int rows) {
    SendMessageW(comboBox, CB_SETMINVISIBLE, static_cast<WPARAM>(rows), 0);
    // Without common controls 6 the list is as high as the control was made.
    RECT field{};
    GetWindowRect(comboBox, &field);
    const auto rowHeight = static_cast<int>(SendMessageW(comboBox, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(comboBox, nullptr, 0, 0, field.right - field.left,
                 field.bottom - field.top + rows * rowHeight + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int entryOfText(HWND comboBox) {
    const std::wstring text = ui::windowText(comboBox);
    const auto count = static_cast<int>(SendMessageW(comboBox, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<std::size_t>(length));
        if (entry == text) return i;
    }
    return -1;
}

}  // namespace item_editing
