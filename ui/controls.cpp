#include "ui/controls.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "ui/dpi.h"
#include "ui/messages.h"
#include "platform/code_page_932.h"

namespace ui {

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::optional<std::string> storableText(HWND field) {
    if (auto bytes = platform::toCp932(windowText(field))) return bytes;
    notice(kUnstorableText);
    SetFocus(field);
    return std::nullopt;
}

void ToggleButton::setOn(bool on) {
    on_ = on;
    InvalidateRect(button_, nullptr, TRUE);
}

void ToggleButton::draw(const DRAWITEMSTRUCT& item) const {
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (HTHEME theme = OpenThemeData(item.hwndItem, L"BUTTON")) {
        DrawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, pressed ? PBS_PRESSED : PBS_NORMAL,
                            &rect, nullptr);
        CloseThemeData(theme);
    } else {
        DrawFrameControl(item.hDC, &rect, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    const std::wstring caption = windowText(item.hwndItem);
    // The button's own font, which follows the window's DPI.
    HGDIOBJ previousFont = SelectObject(
        item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, on_ ? RGB(255, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    if (pressed) OffsetRect(&rect, 1, 1);
    // "On" is bold: the caption struck twice, a pixel apart (two from 192 DPI
    // on), reads as bold and spares loading a second face of the large font.
    const int strikeOffset =
        std::max(1, static_cast<int>(Dpi::ofWindow(item.hwndItem).value() / Dpi::kDesigned));
    for (int strike = 0; strike < (on_ ? 2 : 1); ++strike) {
        DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &rect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        OffsetRect(&rect, strikeOffset, 0);
    }
    SelectObject(item.hDC, previousFont);
}

void setListItems(HWND listBox, const std::vector<std::string>& items) {
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::wstring text = platform::fromCp932(item);
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

void highlightOnly(HWND listBox, int index) {
    SendMessageW(listBox, LB_SETSEL, FALSE, -1);
    SendMessageW(listBox, LB_SETSEL, TRUE, index);
    SendMessageW(listBox, LB_SETCARETINDEX, index, FALSE);
}

}  // namespace ui
