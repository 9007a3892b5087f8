// The thin window wrapper, written once: each window of the program derives
// from Window, holds its controls as named members and handles its messages
// in one member function.
#pragma once

#include <windows.h>

#include <span>

namespace ui {

// One row of a window's control table.
struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;
    DWORD style;  // WS_CHILD is always added
    DWORD exStyle = 0;
};

struct WindowSpec {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    HWND owner = nullptr;
    HMENU menu = nullptr;
    HICON icon = nullptr;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    HWND control(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    // Registers the window class on first use and creates the window hidden.
    bool create(const WindowSpec& spec);
    // Creates every control of the table with the program's font.
    void createControls(std::span<const ControlSpec> table);

    // Receives every message; what it does not handle goes to defaultHandling.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// Shows a hint for a control while the pointer rests on it.
void addHint(HWND window, HWND control, const wchar_t* hint);

}  // namespace ui
