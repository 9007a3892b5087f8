#include "ui/text.h"

#include <windows.h>

namespace ui {

namespace {
constexpr UINT kCodePage932 = 932;

std::wstring toWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    int size =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}
}  // namespace

std::wstring fromCp932(std::string_view bytes) {
    return toWide(kCodePage932, bytes);
}

std::wstring fromUtf8(std::string_view utf8) {
    return toWide(CP_UTF8, utf8);
}

bool toCp932(std::wstring_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    bytes.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(),
                        static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return true;
}

}  // namespace ui
