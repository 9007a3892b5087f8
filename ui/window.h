// The thin window wrapper, written once: each window of the program derives
// from Window, holds its controls as named members and handles its messages
// in one member function.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "ui/dpi.h"

namespace ui {

// One row of a window's control table, in pixels at 96 DPI.
struct ControlLayout {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;
    DWORD style;  // WS_CHILD is always added
    DWORD exStyle = 0;
};

struct WindowLayout {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    HWND owner = nullptr;
    HMENU menu = nullptr;
    HICON icon = nullptr;
};

// A secondary window sized by its client area, created hidden and centred on
// the screen. It is made once for the whole run: closing it only hides it.
struct DialogLayout {
    const wchar_t* className;
    const wchar_t* caption;
    int clientWidth, clientHeight;
    HWND owner;
    // Without WS_MINIMIZEBOX and WS_MAXIMIZEBOX the caption has only the close box.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    HWND control(int id) const { return GetDlgItem(hwnd_, id); }
    // The DPI of the window's monitor, which its layout follows.
    const Dpi& dpi() const { return dpi_; }
    int scaled(int designed) const { return dpi_.scale(designed); }

    // Centres the window on the screen's work area.
    void centreOnScreen();
    // Shows the window and runs a message loop until it is hidden or
    // destroyed, with its owner disabled meanwhile.
    void runModal();

protected:
    // Registers the window class on first use and creates the window hidden.
    bool create(const WindowLayout& layout);
    bool createDialog(const DialogLayout& layout);
    // Creates every control of the table with the program's font, scaled to
    // the window's DPI. The table is kept: a change of DPI lays it out again.
    void createControls(std::span<const ControlLayout> table);

    // Receives every message; what it does not handle goes to defaultHandling.
    // WM_DPICHANGED arrives once the window has its new size and the controls
    // of the table their new places and font.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

    // Passes the messages of a child control to handleControlMessage first.
    void listenTo(HWND control);
    // Returns true when it handled the message, with its result in `result`.
    virtual bool handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result);

    // Makes Enter press the default button (`defaultButtonId`), Esc press
    // IDCANCEL and Tab move between the controls, as in a dialog box.
    void behaveAsDialog(int defaultButtonId);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR window);
    void changeDpi(UINT dpi, const RECT& suggested);

    HWND hwnd_ = nullptr;
    Dpi dpi_;
    // The control table and the controls made from it, row for row.
    std::span<const ControlLayout> controls_;
    std::vector<HWND> controlWindows_;
    int defaultButtonId_ = 0;
    bool hideOnClose_ = false;
};

// Gives a window that behaves as a dialog its keyboard handling; true when
// the message was used up. Called by every message loop.
bool handleDialogKeys(MSG& message);

// Shows a hint for a control while the pointer rests on it.
void addHint(HWND window, HWND control, const wchar_t* hint);

}  // namespace ui
