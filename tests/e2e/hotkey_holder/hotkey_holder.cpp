// Takes Ctrl+2 as a global hotkey and keeps it until it is ended, so that a
// test can start nemuroku.exe while another program already holds one of its keys.
// Its hidden window "hotkey holder" exists only once the key is held.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kHeldHotkey = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = L"HotkeyHolder";
    RegisterClassW(&window_class);

    // Created without a title first: the titled window is the sign that the key is held.
    HWND window = CreateWindowExW(0, L"HotkeyHolder", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (!window || !RegisterHotKey(window, kHeldHotkey, MOD_CONTROL, '2')) {
        std::fprintf(stderr, "hotkey_holder: Ctrl+2 could not be registered\n");
        return 1;
    }
    SetWindowTextW(window, L"hotkey holder");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnregisterHotKey(window, kHeldHotkey);
    return 0;
}
