#include "ui/font.h"

#include <cwchar>
#include <map>
#include <utility>

namespace ui {

namespace {
int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    wcscpy(wanted.lfFaceName, face);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// "ＭＳ Ｐゴシック" is on every Japanese Windows but only on some others.
// Windows 10 and later have Yu Gothic UI in every language, an older one
// with Japanese support added has Meiryo UI; where none is there, the
// Shift-JIS character set still lets the font mapper pick a Japanese face.
const wchar_t* faceName() {
    static const wchar_t* const chosen = [] {
        for (const wchar_t* face : {L"ＭＳ Ｐゴシック", L"Yu Gothic UI", L"Meiryo UI"}) {
            if (installed(face)) return face;
        }
        return L"ＭＳ Ｐゴシック";
    }();
    return chosen;
}

HFONT makeFont(int pixelHeight, bool underlined) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = underlined;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcscpy(font.lfFaceName, faceName());
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
