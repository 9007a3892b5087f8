#include "ui/font.h"

#include <cwchar>

namespace ui {

namespace {
HFONT makeFont(LONG weight, bool underlined = false) {
    LOGFONTW font{};
    font.lfHeight = -12;
    font.lfWeight = weight;
    font.lfUnderline = underlined;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcscpy(font.lfFaceName, L"ＭＳ Ｐゴシック");
    return CreateFontIndirectW(&font);
}
}  // namespace

HFONT regularFont() {
    static HFONT font = makeFont(FW_NORMAL);
    return font;
}

HFONT underlinedFont() {
    static HFONT font = makeFont(FW_NORMAL, true);
    return font;
}

}  // namespace ui
