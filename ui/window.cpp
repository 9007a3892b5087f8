#include "ui/window.h"

#include <commctrl.h>

#include <exception>

#include "ui/font.h"
#include "ui/messages.h"
#include "ui/resource_ids.h"

namespace ui {

namespace {
constexpr const wchar_t* kHintProperty = L"NemurokuHintWindow";

void registerClassOnce(const WindowLayout& layout, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, layout.className, &existing)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    // Every window of the program shows the program's icon.
    HICON icon =
        layout.icon ? layout.icon : LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = layout.className;
    RegisterClassExW(&windowClass);
}
}  // namespace

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::create(const WindowLayout& layout) {
    registerClassOnce(layout, &Window::windowProc);
    CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style, layout.x,
                    layout.y, layout.width, layout.height, layout.owner, layout.menu,
                    GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

// The window is made first and sized then: only a window knows the DPI of
// its monitor.
bool Window::createDialog(const DialogLayout& layout) {
    const bool created = create({.className = layout.className,
                                 .caption = layout.caption,
                                 .style = layout.style,
                                 .exStyle = WS_EX_DLGMODALFRAME,
                                 .x = 0,
                                 .y = 0,
                                 .width = 0,
                                 .height = 0,
                                 .owner = layout.owner});
    hideOnClose_ = true;
    if (!created) return false;
    const SIZE size = dpi_.windowSizeFor({scaled(layout.clientWidth), scaled(layout.clientHeight)},
                                         layout.style, WS_EX_DLGMODALFRAME);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnScreen();
    return true;
}

void Window::createControls(std::span<const ControlLayout> table) {
    controls_ = table;
    for (const ControlLayout& row : table) {
        HWND child =
            CreateWindowExW(row.exStyle, row.className, row.text, WS_CHILD | row.style,
                            scaled(row.x), scaled(row.y), scaled(row.width), scaled(row.height),
                            hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(regularFont(dpi_)), FALSE);
        controlWindows_.push_back(child);
    }
}

void Window::changeDpi(UINT dpi, const RECT& suggested) {
    dpi_ = Dpi(dpi);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlLayout& row = controls_[i];
        HWND child = controlWindows_[i];
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(regularFont(dpi_)), FALSE);
        MoveWindow(child, scaled(row.x), scaled(row.y), scaled(row.width), scaled(row.height),
                   FALSE);
    }
    if (HWND hints = static_cast<HWND>(GetPropW(hwnd_, kHintProperty)))
        SendMessageW(hints, WM_SETFONT, reinterpret_cast<WPARAM>(regularFont(dpi_)), FALSE);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::centreOnScreen() {
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::runModal() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    MSG message{};
    while (hwnd_ && IsWindowVisible(hwnd_) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (handleDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT) PostQuitMessage(static_cast<int>(message.wParam));
    if (owner) EnableWindow(owner, TRUE);
}

void Window::behaveAsDialog(int defaultButtonId) {
    defaultButtonId_ = defaultButtonId;
    SetPropW(hwnd_, L"NemurokuDialog", reinterpret_cast<HANDLE>(1));
}

bool handleDialogKeys(MSG& message) {
    HWND active = GetActiveWindow();
    return active && GetPropW(active, L"NemurokuDialog") && IsDialogMessageW(active, &message);
}

void Window::listenTo(HWND control) {
    SetWindowSubclass(control, &Window::controlProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

bool Window::handleControlMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CALLBACK Window::controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR window) {
    auto* self = reinterpret_cast<Window*>(window);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, &Window::controlProc, 0);
    try {
        LRESULT result = 0;
        if (self->handleControlMessage(control, message, wParam, lParam, result)) return result;
    } catch (const std::exception& error) {
        showError(error);
        return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultHandling(message, wParam, lParam);
}

LRESULT Window::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Every handler runs inside this one try block: a failed conversion or a file
// error ends the operation in progress and is shown here, like an error that
// reaches the message loop.
LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(created->lpCreateParams);
        self->hwnd_ = hwnd;
        self->dpi_ = Dpi::ofWindow(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // A secondary window lives for the whole run: its close box and Alt+F4
    // only hide it, whatever the window handles itself, and it keeps its
    // state for the next showing.
    if (message == WM_CLOSE && self->hideOnClose_) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    try {
        if (message == WM_DPICHANGED)
            self->changeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        LRESULT result = self->handleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (const std::exception& error) {
        showError(error);
        return 0;
    }
}

void addHint(HWND window, HWND control, const wchar_t* hint) {
    // One hint window per window, kept as a property of it.
    auto tooltip = static_cast<HWND>(GetPropW(window, kHintProperty));
    if (!tooltip) {
        tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  window, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip, WM_SETFONT,
                     reinterpret_cast<WPARAM>(regularFont(Dpi::ofWindow(window))), FALSE);
        SetPropW(window, kHintProperty, tooltip);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(hint);
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace ui
