// The one typeface of every window: "ＭＳ Ｐゴシック", Shift-JIS, 12 pixels.
#pragma once

#include <windows.h>

namespace ui {

HFONT regularFont();
// The about window's links.
HFONT underlinedFont();

}  // namespace ui
