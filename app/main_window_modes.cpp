// How the main window gets out of the way and comes back: the notification
// area icon, the global hotkeys, the compact mode and the toggle buttons.
#include <algorithm>

#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "dialogs/rules/password_rules.h"
#include "platform/lazy_function.h"
#include "storage/integer_text.h"
#include "ui/messages.h"
#include "ui/resource_ids.h"

using namespace main_window;

namespace {

// The ids the hotkeys are registered under.
enum HotkeyId : int {
    kRestoreHotkey = 900,
    kSlot1Hotkey,
    kSlot2Hotkey,
    kSlot3Hotkey,
    kSlot4Hotkey,
};

struct Hotkey {
    HotkeyId id;
    UINT modifiers;
    UINT key;
    int slot;  // the hotkey slot of settings line 13 it delivers, 1 to 4; 0 for none
};
constexpr Hotkey kHotkeys[] = {
    {kRestoreHotkey, MOD_SHIFT, VK_RETURN, 0},  // Shift+Enter
    {kSlot1Hotkey, MOD_CONTROL, '1', 1},        // Ctrl+1
    {kSlot2Hotkey, MOD_CONTROL, '2', 2},        // Ctrl+2
    {kSlot3Hotkey, MOD_CONTROL, '3', 3},        // Ctrl+3
    {kSlot4Hotkey, MOD_CONTROL, '4', 4},        // Ctrl+4
};

// The designed pause before the window comes back from the notification area.
constexpr DWORD kPauseBeforeRestore = 10;

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

NOTIFYICONDATAW trayIconRecord(HWND window) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kTrayIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallbackMessage;
    icon.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(icon.szTip, ui::kApplicationTitle, ARRAYSIZE(icon.szTip));
    return icon;
}

}  // namespace

// Also when the notification area has started anew: the same icon again.
void MainWindow::addTrayIcon() {
    if (!trayIcon_) trayIcon_ = trayIconRecord(hwnd());
    notifyTray(NIM_ADD, *trayIcon_);
}

void MainWindow::removeTrayIcon() {
    if (trayIcon_) notifyTray(NIM_DELETE, *trayIcon_);
}

void MainWindow::onTrayIcon(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        Sleep(kPauseBeforeRestore);
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
    if (!allRegistered) ui::notice(texts::kHotkeysFailed);
}

void MainWindow::unregisterHotkeys() {
    for (const Hotkey& hotkey : kHotkeys) UnregisterHotKey(hwnd(), hotkey.id);
}

// Ctrl+1 to Ctrl+4 deliver as a click on the slot's item of group 1 would,
// into the window in front when they were pressed, also while hidden.
void MainWindow::onHotkey(int id) {
    const auto hotkey = std::find_if(std::begin(kHotkeys), std::end(kHotkeys),
                                     [id](const Hotkey& each) { return each.id == id; });
    if (hotkey == std::end(kHotkeys)) return;
    if (hotkey->id == kRestoreHotkey) {
        Sleep(kPauseBeforeRestore);
        // Shown again, but the program in front keeps the foreground.
        if (!IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNA);
    }
    if (hotkey->slot == 0)
        delivery_.recordTarget();
    else
        deliver([this, slot = hotkey->slot] { delivery_.hotkey(slot, running()); });
}

bool MainWindow::isShowHotkey(int id) {
    return id == kRestoreHotkey;
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
