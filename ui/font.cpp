#include "ui/font.h"

#include <cwchar>
#include <map>
#include <utility>

namespace ui {

namespace {
// The Shift-JIS character set lets the font mapper pick a Japanese face on
// any Windows locale, also where this face is missing.
HFONT makeFont(int pixelHeight, bool underlined) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = underlined;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcscpy(font.lfFaceName, L"ＭＳ Ｐゴシック");
    return CreateFontIndirectW(&font);
}

// Rounded down: a label sized for its text at 96 DPI is scaled with
// rounding, and a font rounded up as well could outgrow it.
HFONT fontOf(int designedHeight, bool underlined, const Dpi& dpi) {
    static std::map<std::pair<int, bool>, HFONT> made;
    const int height = designedHeight * static_cast<int>(dpi.value()) / Dpi::kDesigned;
    const std::pair key{height, underlined};
    auto found = made.find(key);
    if (found == made.end()) found = made.emplace(key, makeFont(key.first, underlined)).first;
    return found->second;
}
}  // namespace

HFONT regularFont(const Dpi& dpi) {
    return fontOf(12, false, dpi);
}

HFONT underlinedFont(const Dpi& dpi) {
    return fontOf(12, true, dpi);
}

HFONT smallFont(const Dpi& dpi) {
    return fontOf(11, false, dpi);
}

}  // namespace ui
