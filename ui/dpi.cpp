#include "ui/dpi.h"

#include "platform/lazy_function.h"

namespace ui {

namespace {
// Declared here rather than through a newer _WIN32_WINNT: older Windows lack
// these functions, and the program still runs there at 96 DPI.
using GetDpiForWindowFunction = UINT WINAPI(HWND);
using GetDpiForSystemFunction = UINT WINAPI();
using AdjustWindowRectExForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Function>
Function* user32Function(const char* name) {
    return platform::lazyFunction<Function>(L"user32.dll", name);
}
}  // namespace

Dpi Dpi::ofWindow(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) return Dpi(getDpiForWindow(window));
    return ofSystem();
}

Dpi Dpi::ofSystem() {
    static const auto getDpiForSystem = user32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem) return Dpi(getDpiForSystem());
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return Dpi(static_cast<UINT>(dpi));
}

SIZE Dpi::windowSizeFor(SIZE client, DWORD style, DWORD exStyle) const {
    static const auto adjustForDpi =
        user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi) {
        adjustForDpi(&frame, style, FALSE, exStyle, dpi_);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace ui
