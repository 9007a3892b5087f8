#include "platform/code_page_932.h"

#include <windows.h>

namespace platform {

namespace {
constexpr UINT kCodePage932 = 932;

std::wstring toWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
    return text;
}
}  // namespace

std::wstring fromCp932(std::string_view bytes) {
    return toWide(kCodePage932, bytes);
}

std::wstring fromUtf8(std::string_view utf8) {
    return toWide(CP_UTF8, utf8);
}

std::optional<std::string> toCp932(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length,
                        nullptr, nullptr);
    return bytes;
}

}  // namespace platform
