// The resolution a window is laid out for. Every designed size of the program
// is in pixels at 96 DPI (100 %) and scales with the DPI of the monitor the
// window is on.
#pragma once

#include <windows.h>

namespace ui {

class Dpi {
public:
    static constexpr UINT kDesigned = 96;

    explicit Dpi(UINT dpi = kDesigned) : dpi_(dpi ? dpi : kDesigned) {}
    // The window's monitor; the system's where Windows knows no per-window DPI.
    static Dpi ofWindow(HWND window);
    static Dpi ofSystem();

    UINT value() const { return dpi_; }
    int scale(int designed) const { return MulDiv(designed, static_cast<int>(dpi_), kDesigned); }
    int unscale(int pixels) const { return MulDiv(pixels, kDesigned, static_cast<int>(dpi_)); }
    // The outer size of a window whose client area is `client`, with the
    // caption and frame as drawn at this DPI.
    SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle) const;

private:
    UINT dpi_;
};

}  // namespace ui
