// The second yardstick of the start-up benchmark: the least a program that
// looks like nemuroku.exe does. The same manifest (common controls 6, per-
// monitor DPI awareness), one list box and one button in the program's font,
// and an icon in the notification area.
#include <windows.h>
#include <shellapi.h>

#include <initializer_list>

#include "platform/lazy_function.h"
#include "ui/dpi.h"
#include "ui/font.h"

namespace {

constexpr UINT kAddTrayIconMessage = WM_APP + 1;
constexpr UINT kTrayCallbackMessage = WM_APP + 2;
constexpr int kPadding = 8;
constexpr int kButtonHeight = 24;

HWND listBox = nullptr;
HWND button = nullptr;
NOTIFYICONDATAW trayIcon{};

// As nemuroku.exe does: the shell is loaded with the icon, after the window
// is shown, so that the yardstick is not slowed by what the program avoids.
void notifyTray(DWORD message) {
    static const auto notify =
        platform::lazyFunction<decltype(Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    if (notify) notify(message, &trayIcon);
}

void addTrayIcon(HWND window) {
    trayIcon.cbSize = sizeof(trayIcon);
    trayIcon.hWnd = window;
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = kTrayCallbackMessage;
    trayIcon.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(trayIcon.szTip, L"themed", ARRAYSIZE(trayIcon.szTip));
    notifyTray(NIM_ADD);
}

void layOut(HWND window) {
    const ui::Dpi dpi = ui::Dpi::ofWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    const int padding = dpi.scale(kPadding);
    const int buttonHeight = dpi.scale(kButtonHeight);
    const int width = client.right - 2 * padding;
    MoveWindow(button, padding, padding, width, buttonHeight, TRUE);
    MoveWindow(listBox, padding, 2 * padding + buttonHeight, width,
               client.bottom - 3 * padding - buttonHeight, TRUE);
}

void createControls(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    button = CreateWindowExW(0, L"BUTTON", L"ボタン", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0,
                             0, 0, window, nullptr, instance, nullptr);
    listBox = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 0, 0, 0, 0, window,
                              nullptr, instance, nullptr);
    HFONT font = ui::regularFont(ui::Dpi::ofWindow(window));
    for (HWND control : {button, listBox}) SendMessageW(control, WM_SETFONT, WPARAM(font), FALSE);
    SendMessageW(listBox, LB_ADDSTRING, 0, LPARAM(L"タイトル"));
    layOut(window);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            createControls(window);
            return 0;
        case WM_SIZE:
            if (button) layOut(window);
            return 0;
        case kAddTrayIconMessage:
            addTrayIcon(window);
            return 0;
        case WM_DESTROY:
            notifyTray(NIM_DELETE);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"ThemedWindow";
    RegisterClassW(&windowClass);

    // Made at the size nemuroku.exe's main window has at 96 DPI, then scaled
    // to the DPI of its monitor.
    HWND window = CreateWindowExW(0, L"ThemedWindow", L"themed", WS_OVERLAPPEDWINDOW, 197, 108, 149,
                                  452, nullptr, nullptr, instance, nullptr);
    const ui::Dpi dpi = ui::Dpi::ofWindow(window);
    SetWindowPos(window, nullptr, dpi.scale(197), dpi.scale(108), dpi.scale(149), dpi.scale(452),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, show);
    UpdateWindow(window);
    PostMessageW(window, kAddTrayIconMessage, 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
