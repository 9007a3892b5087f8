#include "dialogs/about_window.h"

#include <shellapi.h>

#include <string>

#include "dialogs/texts.h"
#include "platform/lazy_function.h"
#include "ui/controls.h"
#include "ui/font.h"
#include "ui/resource_ids.h"

#ifndef NEMUROKU_SUPPORT_URL
#error "NEMUROKU_SUPPORT_URL is set by the build (CMake cache variable of the same name)"
#endif

namespace {

constexpr int kClientWidth = 318;
constexpr int kClientHeight = 100;
constexpr int kMargin = 8;
constexpr const wchar_t* kSupportUrl = L"" NEMUROKU_SUPPORT_URL;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

enum ControlId : int { kBanner = 100, kFolderLink, kSupportLink };

// The links are sized to their text once it is measured.
constexpr ui::ControlLayout kControls[] = {
    {kBanner, L"STATIC", L"", kMargin, kMargin, 301, 62, WS_VISIBLE | SS_BITMAP},
    {kFolderLink, L"STATIC", L"インストールフォルダ", kMargin, 78, 0, 0, WS_VISIBLE | SS_NOTIFY},
    {kSupportLink, L"STATIC", L"サポート掲示板", kClientWidth - kMargin, 78, 0, 0,
     WS_VISIBLE | SS_NOTIFY},
};

// Gives a link label the size of its text, underline included, keeping its left edge or, for a
// label on the right, its right edge.
void fitToText(HWND window, HWND label, bool keepRightEdge) {
    const std::wstring text = ui::windowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);

    RECT rect{};
    GetWindowRect(label, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const int left = keepRightEdge ? rect.right - extent.cx : rect.left;
    MoveWindow(label, left, rect.top, extent.cx, extent.cy, FALSE);
}

// The banner is drawn for 96 DPI; at other resolutions it is resampled with
// averaging, which keeps its text smooth where repeating pixels would not.
HBITMAP bannerFor(const ui::Dpi& dpi) {
    auto designed = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(IDB_ABOUT_BANNER),
                                                    IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!designed || dpi.value() == ui::Dpi::kDesigned) return designed;
    BITMAP size{};
    GetObjectW(designed, sizeof(size), &size);
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP scaled =
        CreateCompatibleBitmap(screen, dpi.scale(size.bmWidth), dpi.scale(size.bmHeight));
    HGDIOBJ previousSource = SelectObject(source, designed);
    HGDIOBJ previousTarget = SelectObject(target, scaled);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, dpi.scale(size.bmWidth), dpi.scale(size.bmHeight), source, 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(source, previousSource);
    SelectObject(target, previousTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    DeleteObject(designed);
    return scaled;
}

// The shell shows a folder in its file browser and an address in the web
// browser; what it makes of them is not checked.
void openWithShell(HWND owner, const std::wstring& target) {
    static const auto execute =
        platform::lazyFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute) execute(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

bool AboutWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuAboutWindow", dialog_texts::kAboutCaption, kClientWidth,
                       kClientHeight, owner}))
        return false;
    createControls(kControls);
    folderLink_ = control(kFolderLink);
    supportLink_ = control(kSupportLink);
    fitToDpi();
    return true;
}

// What the control table does not say: the links' font and size, and the banner.
void AboutWindow::fitToDpi() {
    for (HWND link : {folderLink_, supportLink_}) {
        SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(ui::underlinedFont(dpi())), FALSE);
    }
    fitToText(hwnd(), folderLink_, false);
    fitToText(hwnd(), supportLink_, true);

    HBITMAP previous = banner_;
    banner_ = bannerFor(dpi());
    SendMessageW(control(kBanner), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));
    if (previous) DeleteObject(previous);
}

void AboutWindow::showAbout() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

// The program's folder, with the trailing separator the shell is given.
void AboutWindow::openProgramFolder() {
    const platform::Path folder = mainWindow_.programFiles().folder() / "";
    openWithShell(hwnd(), folder.wstring());
}

void AboutWindow::openSupportPage() {
    openWithShell(hwnd(), kSupportUrl);
}

LRESULT AboutWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == STN_CLICKED) {
                if (LOWORD(wParam) == kFolderLink) {
                    openProgramFolder();
                    return 0;
                }
                if (LOWORD(wParam) == kSupportLink) {
                    openSupportPage();
                    return 0;
                }
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (isLink(reinterpret_cast<HWND>(lParam))) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kLinkColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (isLink(reinterpret_cast<HWND>(wParam))) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            fitToDpi();
            return 0;
        case WM_NCDESTROY:
            // The picture control does not own the bitmap it was given.
            if (banner_) DeleteObject(banner_);
            banner_ = nullptr;
            break;
    }
    return defaultHandling(message, wParam, lParam);
}
