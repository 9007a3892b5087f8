// How the main window gets out of the way and comes back: the notification
// area icon, the global hotkeys, the compact mode and the toggle buttons.
#include <algorithm>

#include "app/main_window.h"
#include "app/main_window_design.h"
#include "dialogs/password_rules.h"
#include "platform/lazy_function.h"
#include "storage/errors.h"
#include "ui/messages.h"
#include "ui/resource_ids.h"

using namespace main_window;

namespace {

constexpr int kRestoreHotkey = 900;

struct Hotkey {
    int id;
    UINT modifiers;
    UINT key;
};
constexpr Hotkey kHotkeys[] = {
    {kRestoreHotkey, MOD_SHIFT, VK_RETURN},
    {901, MOD_CONTROL, '1'},
    {902, MOD_CONTROL, '2'},
    {903, MOD_CONTROL, '3'},
    {904, MOD_CONTROL, '4'},
};

// Opens a popup menu from the resources at the mouse pointer.
void popUpMenu(HWND window, int menuId) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    POINT pointer{};
    GetCursorPos(&pointer);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0,
                   window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

// The shell is loaded with the icon, after the window is shown.
void notifyTray(DWORD message, NOTIFYICONDATAW& icon) {
    static const auto notify =
        platform::lazyFunction<decltype(Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    if (notify) notify(message, &icon);
}

}  // namespace

// Also when the notification area has started anew: the same icon again.
void MainWindow::addTrayIcon() {
    if (trayIcon_.cbSize) {
        notifyTray(NIM_ADD, trayIcon_);
        return;
    }
    trayIcon_.cbSize = sizeof(trayIcon_);
    trayIcon_.hWnd = hwnd();
    trayIcon_.uID = kTrayIconId;
    trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon_.uCallbackMessage = kTrayCallbackMessage;
    trayIcon_.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(trayIcon_.szTip, ui::kApplicationTitle, ARRAYSIZE(trayIcon_.szTip));
    notifyTray(NIM_ADD, trayIcon_);
}

void MainWindow::removeTrayIcon() {
    if (trayIcon_.cbSize) notifyTray(NIM_DELETE, trayIcon_);
}

void MainWindow::onTrayIcon(LPARAM mouseMessage) {
    if (!unlocked_) return;
    if (mouseMessage == WM_LBUTTONDOWN) {
        Sleep(10);
        restore();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        popUpMenu(hwnd(), IDR_TRAY_MENU);
    }
}

// "終了" of the icon's menu: closing the window runs the shutdown sequence.
void MainWindow::exitFromTrayMenu() {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

// "最小": the window hides; its icon stays in the notification area.
void MainWindow::hideToTray() {
    ShowWindow(hwnd(), SW_HIDE);
}

// Back at the same place and size, still on top, and in front.
void MainWindow::restore() {
    if (!shownOnce_) return;  // still starting: the first showing comes on its own
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd());
}

// A key held down sends no stream of repeats, each a delivery of its own,
// where Windows offers that (7 and later).
void MainWindow::registerHotkeys() {
    bool allRegistered = true;
    for (const Hotkey& hotkey : kHotkeys) {
        if (!RegisterHotKey(hwnd(), hotkey.id, hotkey.modifiers | MOD_NOREPEAT, hotkey.key) &&
            !RegisterHotKey(hwnd(), hotkey.id, hotkey.modifiers, hotkey.key))
            allRegistered = false;
    }
    if (!allRegistered) ui::notice(L"ショートカットキーの設定に失敗しました");
}

void MainWindow::unregisterHotkeys() {
    for (const Hotkey& hotkey : kHotkeys) UnregisterHotKey(hwnd(), hotkey.id);
}

// Ctrl+1 to Ctrl+4 deliver as a click on the slot's item of group 1 would,
// into the window in front when they were pressed, also while hidden.
void MainWindow::onHotkey(int id) {
    const bool ours = std::any_of(std::begin(kHotkeys), std::end(kHotkeys),
                                  [id](const Hotkey& hotkey) { return hotkey.id == id; });
    if (!unlocked_ || !ours) return;
    if (id == kRestoreHotkey) {
        Sleep(10);
        // Shown again, but the program in front keeps the foreground.
        if (shownOnce_ && !IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNA);
    }
    if (id == kRestoreHotkey)
        delivery_.recordTarget();
    else
        delivery_.hotkey(id - kRestoreHotkey, unlocked_);
}

// "隠蔽": masking needs nothing; uncovering needs the start-up password when
// asking it is on, and is not possible otherwise.
void MainWindow::toggleMask() {
    if (!maskToggle_.isOn()) {
        SendMessageW(keyCodeDisplay_, EM_SETPASSWORDCHAR, L'*', 0);
        InvalidateRect(keyCodeDisplay_, nullptr, TRUE);
        maskToggle_.setOn(true);
        return;
    }
    if (password_rules::askedAtStart(settings_)) passwordCheckWindow().showCheck();
}

void MainWindow::uncoverKeyCode() {
    SendMessageW(keyCodeDisplay_, EM_SETPASSWORDCHAR, 0, 0);
    InvalidateRect(keyCodeDisplay_, nullptr, TRUE);
    maskToggle_.setOn(false);
}

// "透過": the opacity is whatever was set last.
void MainWindow::toggleTransparency() {
    setTransparency(!transparencyToggle_.isOn());
}

// "改行": only the look changes; every delivery reads it.
void MainWindow::toggleNewline() {
    newlineToggle_.setOn(!newlineToggle_.isOn());
}

// A click on the key code display shrinks the window to it, and back to the
// full height stored in the settings.
void MainWindow::toggleCompactMode() {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    const int width = rect.right - rect.left;
    constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (rect.bottom - rect.top > scaled(kCompactHeight)) {
        SetWindowPos(hwnd(), nullptr, 0, 0, width, scaled(kCompactHeight), kResizeOnly);
        setDisplayColour(GetSysColor(COLOR_GRAYTEXT));
        return;
    }
    // A run that started without a settings file has no full height stored yet.
    const std::string& stored = settings_.line(line::kHeight);
    const int fullHeight = stored.empty() ? kDesignedHeight : storage::toInteger(stored);
    SetWindowPos(hwnd(), nullptr, 0, 0, width, scaled(std::clamp(fullHeight, 0, kMaximumHeight)),
                 kResizeOnly);
    const std::string& group = settings_.line(line::kGroupOnDisplay);
    if (group == "1" || group == "2" || group == "3") setDisplayColour(groupColour(group[0] - '0'));
}

// The item menu, at the pointer; also the window's own context menu.
void MainWindow::showItemMenu() {
    popUpMenu(hwnd(), IDR_ITEM_MENU);
}
