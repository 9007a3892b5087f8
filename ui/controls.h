// Small helpers for the standard controls the windows use.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ui {

std::wstring windowText(HWND window);

// The text of an entry field as code page 932 bytes. Text that has no code
// page 932 form is refused: the user is told, the field gets the focus, and
// nothing comes back.
std::optional<std::string> storableText(HWND field);

// A push button that shows an on/off state in its caption: red and bold when
// on, the window-text colour and regular when off. The state is the look.
class ToggleButton {
public:
    void attach(HWND button) { button_ = button; }
    HWND hwnd() const { return button_; }
    void setOn(bool on);
    bool isOn() const { return on_; }
    // Draws the button for WM_DRAWITEM (the button is BS_OWNERDRAW).
    void draw(const DRAWITEMSTRUCT& item) const;

private:
    HWND button_ = nullptr;
    bool on_ = false;
};

// Replaces the lines of a list box with code page 932 texts.
void setListItems(HWND listBox, const std::vector<std::string>& items);
// Makes `index` the only highlighted line and the focused one.
void highlightOnly(HWND listBox, int index);

}  // namespace ui
