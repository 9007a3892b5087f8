// The one typeface of every window: "ＭＳ Ｐゴシック" (or the Japanese face
// the system has), Shift-JIS, 12 pixels at 96 DPI, scaled to the window's
// DPI. Each size is made once for the run.
#pragma once

#include <windows.h>

#include "ui/dpi.h"

namespace ui {

HFONT regularFont(const Dpi& dpi);
// The about window's links.
HFONT underlinedFont(const Dpi& dpi);
// Notes set smaller than the rest, 11 pixels.
HFONT smallFont(const Dpi& dpi);

}  // namespace ui
