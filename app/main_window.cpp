// The main window itself: its creation, controls, messages and display, and
// the secondary windows it opens.
#include "app/main_window.h"

#include "app/main_window_design.h"
#include "app/main_window_texts.h"

#include <algorithm>
#include <vector>

#include "storage/errors.h"
#include "ui/messages.h"
#include <commctrl.h>
#include "ui/resource_ids.h"
#include "platform/code_page_932.h"

using namespace main_window;
using run_states::Request;

namespace {

// The top bar: the key code display across the top (wider than the window, so
// its right part is cut off) and below it the row of buttons.
constexpr ui::ControlLayout kControls[] = {
    {kKeyCodeDisplay, L"EDIT", L"", 0, 0, 160, 20,
     WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE},
    {kPreviousGroupButton, L"BUTTON", L"<", 0, 20, 13, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kNextGroupButton, L"BUTTON", L">", 12, 20, 13, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kMaskToggle, L"BUTTON", L"隠蔽", 24, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kTransparencyToggle, L"BUTTON", L"透過", 53, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kNewlineToggle, L"BUTTON", L"改行", 82, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kMinimiseButton, L"BUTTON", L"最小", 111, 20, 30, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kTitleList, L"LISTBOX", L"", 0, kTopBarHeight, 141, 300,
     WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE},
};

struct Hint {
    int control;
    const wchar_t* text;
};
constexpr Hint kHints[] = {
    {kKeyCodeDisplay, texts::kKeyCodeDisplayHint},
    {kPreviousGroupButton, texts::kGroupButtonHint},
    {kNextGroupButton, texts::kGroupButtonHint},
    {kMaskToggle, texts::kMaskToggleHint},
    {kTransparencyToggle, texts::kTransparencyToggleHint},
    {kNewlineToggle, texts::kNewlineToggleHint},
    {kMinimiseButton, texts::kMinimiseButtonHint},
    {kTitleList, texts::kTitleListHint},
};

const UINT kTaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

}  // namespace

// Whether each may run now is the phase's to say (run_states::responseTo).
const MainWindow::Command MainWindow::kCommands[] = {
    {IDM_IMPORT_GROUP, &MainWindow::importGroup, Request::command},
    {IDM_EXPORT_GROUP, &MainWindow::exportGroup, Request::command},
    {IDM_SAVE_AND_EXIT, &MainWindow::saveAndExit, Request::command},
    {IDM_ADD_ITEM, &MainWindow::addItem, Request::command},
    {IDM_MOVE_ITEM_UP, &MainWindow::moveItemUp, Request::command},
    {IDM_DELETE_ITEMS, &MainWindow::deleteItems, Request::command},
    {IDM_EDIT_ITEM, &MainWindow::editItem, Request::command},
    {IDM_INSERT_SEPARATOR, &MainWindow::insertSeparator, Request::command},
    {IDM_OPEN_SETTINGS, &MainWindow::openSettings, Request::command},
    {IDM_CHANGE_PASSWORD, &MainWindow::changePassword, Request::command},
    {IDM_SHOW_ABOUT, &MainWindow::showAbout, Request::command},
    {IDM_OPEN_SECURITY, &MainWindow::openSecurity, Request::command},
    {IDM_LOCK, &MainWindow::lock, Request::lockCommand},
    {IDM_EXIT, &MainWindow::exitFromTrayMenu, Request::exitCommand},
    {kPreviousGroupButton, &MainWindow::showPreviousGroup, Request::command},
    {kNextGroupButton, &MainWindow::showNextGroup, Request::command},
    {kMinimiseButton, &MainWindow::hideToTray, Request::command},
    {kMaskToggle, &MainWindow::toggleMask, Request::command},
    {kTransparencyToggle, &MainWindow::toggleTransparency, Request::command},
    {kNewlineToggle, &MainWindow::toggleNewline, Request::command},
};

MainWindow::MainWindow(HWND applicationWindow, platform::FileSystem& fs,
                       platform::Path programFolder)
    : applicationWindow_(applicationWindow),
      files_(fs, std::move(programFolder)),
      delivery_(*this, platform::realDesktop()),
      opacity_(kDesignedOpacity),
      displayColour_(GetSysColor(COLOR_WINDOW)) {}

UINT MainWindow::restoreRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"NemurokuRestoreRequest");
    return message;
}

bool MainWindow::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    bool settingsFileFound = false;
    try {
        if (!unlockStoredFiles()) return false;
        settingsFileFound = loadSettings();
    } catch (const std::exception& error) {
        abandonStart(error);
        return false;
    }
    const bool created = Window::create({
        .className = kClassName,
        .caption = ui::kApplicationTitle,
        .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
        // Topmost from creation on, so that the window never shows without
        // the order: Wine takes no order for a hidden window.
        .exStyle = static_cast<DWORD>(stayOnTop_ ? WS_EX_TOPMOST : 0),
        .x = kDesignedLeft,
        .y = kDesignedTop,
        .width = kDesignedWidth,
        .height = kDesignedHeight,
        .owner = applicationWindow_,
        .menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)),
        .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON)),
    });
    if (!created) return false;
    // Made at the designed size in pixels; only the window knows its DPI.
    SetWindowPos(hwnd(), nullptr, scaled(kDesignedLeft), scaled(kDesignedTop),
                 scaled(kDesignedWidth), scaled(kDesignedHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    createTopBarAndList();
    try {
        initialise(settingsFileFound);
    } catch (const std::exception& error) {
        abandonStart(error);
        return false;
    }
    return true;
}

namespace {
// Creates a secondary window the first time it is asked for; from then on it
// lives for the run and keeps its state.
template <typename SecondaryWindow, typename... Arguments>
SecondaryWindow& createdOnce(std::unique_ptr<SecondaryWindow>& window, HWND owner,
                             Arguments&&... arguments) {
    if (!window) {
        window = std::make_unique<SecondaryWindow>(std::forward<Arguments>(arguments)...);
        window->create(owner);
    }
    return *window;
}
}  // namespace

RegistrationWindow& MainWindow::registrationWindow() {
    return createdOnce(registrationWindow_, hwnd(), *this);
}

EditWindow& MainWindow::editWindow() {
    return createdOnce(editWindow_, hwnd(), *this);
}

AboutWindow& MainWindow::aboutWindow() {
    return createdOnce(aboutWindow_, hwnd(), *this);
}

SettingsWindow& MainWindow::settingsWindow() {
    return createdOnce(settingsWindow_, hwnd(), *this);
}

SecurityWindow& MainWindow::securityWindow() {
    if (!securityWindow_) {
        securityWindow_ = std::make_unique<SecurityWindow>(
            [this] { return strongFormat(); }, [this](bool strong) { switchStoredFormat(strong); });
        securityWindow_->handleLockOptions(
            [this] { return lock_options::options(settings_); },
            [this](const lock_options::Options& chosen) { return applyLockOptions(chosen); });
        securityWindow_->create(hwnd());
    }
    return *securityWindow_;
}

// Before the main window exists, the password of encrypted files is asked
// with the application's window as the owner.
StartupPasswordWindow& MainWindow::startupPasswordWindow() {
    return createdOnce(startupPasswordWindow_, hwnd() ? hwnd() : applicationWindow_);
}

PasswordCheckWindow& MainWindow::passwordCheckWindow() {
    return createdOnce(passwordCheckWindow_, hwnd(), settings_, [this] { uncoverKeyCode(); });
}

// What the first paint does not need, done right after it: the hints with
// the common controls they and the settings window use, the notification
// area icon and the backups.
void MainWindow::finishStart() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;  // the hints and the settings' slider
    InitCommonControlsEx(&controls);
    for (const Hint& hint : kHints) ui::addHint(hwnd(), control(hint.control), hint.text);
    addTrayIcon();
    watchSession();
    startIdleTimer();
    if (backupsPending_ && running()) {
        storeBackups();
        backupsPending_ = false;
    }
}

void MainWindow::createTopBarAndList() {
    createControls(kControls);
    keyCodeDisplay_ = control(kKeyCodeDisplay);
    titleList_ = control(kTitleList);
    previousGroupButton_ = control(kPreviousGroupButton);
    nextGroupButton_ = control(kNextGroupButton);
    minimiseButton_ = control(kMinimiseButton);
    maskToggle_.attach(control(kMaskToggle));
    transparencyToggle_.attach(control(kTransparencyToggle));
    newlineToggle_.attach(control(kNewlineToggle));
    // The key code display starts masked, and the mask button shows it.
    SendMessageW(keyCodeDisplay_, EM_SETPASSWORDCHAR, L'*', 0);
    maskToggle_.setOn(true);
    setDisplayColour(GetSysColor(COLOR_WINDOW));
    listenTo(keyCodeDisplay_);
    listenTo(titleList_);
    layOut();
}

void MainWindow::showItemLists() {
    ui::setListItems(titleList_, lists_.titles);
}

void MainWindow::highlightFirstItem() {
    if (lists_.titles.empty()) return;
    ui::highlightOnly(titleList_, 0);
    showKeyCode(lists_.keyCodes.front());
}

// Shows the changed lists; the highlighted lines and the current item stay
// where they were as far as the list still reaches.
void MainWindow::listsChanged() {
    const int count = static_cast<int>(SendMessageW(titleList_, LB_GETCOUNT, 0, 0));
    std::vector<int> selected(static_cast<std::size_t>(std::max(count, 0)));
    const auto selectedCount = SendMessageW(titleList_, LB_GETSELITEMS, selected.size(),
                                            reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(static_cast<std::size_t>(std::max<LRESULT>(selectedCount, 0)));
    const int current = currentItem();
    showItemLists();
    const int newCount = static_cast<int>(lists_.titles.size());
    for (int line : selected) {
        if (line < newCount) SendMessageW(titleList_, LB_SETSEL, TRUE, line);
    }
    if (current >= 0 && newCount > 0) {
        SendMessageW(titleList_, LB_SETCARETINDEX, std::min(current, newCount - 1), FALSE);
    }
}

void MainWindow::makeCurrent(int item) {
    SendMessageW(titleList_, LB_SETCARETINDEX, item, FALSE);
}

int MainWindow::currentItem() const {
    if (SendMessageW(titleList_, LB_GETCOUNT, 0, 0) <= 0) return -1;
    return static_cast<int>(SendMessageW(titleList_, LB_GETCARETINDEX, 0, 0));
}

void MainWindow::setOpacity(int alpha) {
    opacity_ = static_cast<BYTE>(alpha);
    if (transparencyToggle_.isOn()) SetLayeredWindowAttributes(hwnd(), 0, opacity_, LWA_ALPHA);
}

void MainWindow::showKeyCode(const std::string& keyCode) {
    SetWindowTextW(keyCodeDisplay_, platform::fromCp932(keyCode).c_str());
}

void MainWindow::setDisplayColour(COLORREF colour) {
    displayColour_ = colour;
    if (displayBrush_) DeleteObject(displayBrush_);
    displayBrush_ = CreateSolidBrush(colour);
    InvalidateRect(keyCodeDisplay_, nullptr, TRUE);
}

void MainWindow::setTransparency(bool on) {
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    if (on) {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd(), 0, opacity_, LWA_ALPHA);
    } else {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    transparencyToggle_.setOn(on);
}

void MainWindow::layOut() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int topBarHeight = scaled(kTopBarHeight);
    MoveWindow(titleList_, 0, topBarHeight, client.right,
               std::max(0, static_cast<int>(client.bottom) - topBarHeight), TRUE);
}

// What the user, another program or the system asks for; the rest (painting,
// sizing, the end of the session) is the window's own business in any phase.
// Until the start-up password has passed nothing may act: a command posted by
// another program could otherwise export the group in plain text. Once the
// shutdown sequence has stored everything, nothing may change what it stored.
std::optional<run_states::Request> MainWindow::requestOf(UINT message, WPARAM wParam,
                                                         LPARAM lParam) const {
    switch (message) {
        case WM_COMMAND: {
            const Command* command = findCommand(LOWORD(wParam));
            return command ? command->request : Request::command;
        }
        case WM_CONTEXTMENU:
        case WM_NCLBUTTONDBLCLK:
            return Request::command;
        case WM_HOTKEY:
            return isShowHotkey(static_cast<int>(wParam)) ? Request::showRequest
                                                          : Request::deliveryHotkey;
        case kTrayCallbackMessage:
            if (lParam == WM_LBUTTONDOWN) return Request::showRequest;
            if (lParam == WM_RBUTTONDOWN) return Request::iconMenu;
            return std::nullopt;
        case kPendingLockMessage:
            return Request::lockCommand;
        case WM_TIMER:
            if (wParam == kIdleTimer) return Request::idleCheck;
            return std::nullopt;
        case WM_WTSSESSION_CHANGE:
        case WM_POWERBROADCAST:
            if (lockTriggerOn(message, wParam)) return Request::lockTrigger;
            if (message == WM_POWERBROADCAST &&
                (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND))
                return Request::idleCheck;
            return std::nullopt;
        default:
            if (message == restoreRequestMessage()) return Request::showRequest;
            return std::nullopt;
    }
}

const MainWindow::Command* MainWindow::findCommand(int id) {
    for (const Command& command : kCommands) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

bool MainWindow::handleCommand(int id, int notification) {
    if (id == kTitleList) {
        if (notification == LBN_SELCHANGE && !inDoubleClick_) onTitleClick();
        if (notification == LBN_DBLCLK) onTitleDoubleClick();
        return true;
    }
    const Command* command = findCommand(id);
    if (!command) return false;
    (this->*command->run)();
    return true;
}

// "保存して終了"
void MainWindow::saveAndExit() {
    shutDown();
    DestroyWindow(hwnd());
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A suspend is never refused.
    const LRESULT done = message == WM_POWERBROADCAST ? TRUE : 0;
    if (const auto request = requestOf(message, wParam, lParam)) {
        switch (run_states::responseTo(*request, phase_)) {
            case run_states::Response::ignore:
                return done;
            case run_states::Response::askPassword:
                // A second start waits for its request: it is answered at
                // once, and the password asked once it has been.
                if (InSendMessage())
                    PostMessageW(hwnd(), restoreRequestMessage(), 0, 0);
                else
                    unlock();
                return done;
            case run_states::Response::lock:
                lock();
                return done;
            case run_states::Response::act:
                break;
        }
    }
    switch (message) {
        case WM_COMMAND:
            if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const ui::ToggleButton* toggle :
                 {&maskToggle_, &transparencyToggle_, &newlineToggle_}) {
                if (item.hwndItem == toggle->hwnd()) toggle->draw(item);
            }
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == keyCodeDisplay_) {
                SetBkColor(reinterpret_cast<HDC>(wParam), displayColour_);
                return reinterpret_cast<LRESULT>(displayBrush_);
            }
            break;
        case WM_SIZE:
            layOut();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            const POINT largest{scaled(kMaximumWidth), scaled(kMaximumHeight)};
            limits->ptMaxTrackSize = largest;
            limits->ptMaxSize = largest;
            limits->ptMinTrackSize.y =
                std::min<LONG>(limits->ptMinTrackSize.y, scaled(kCompactHeight));
            return 0;
        }
        case WM_CONTEXTMENU:
            showItemMenu();
            return 0;
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTCAPTION) {
                hideToTray();
                return 0;
            }
            break;
        case WM_HOTKEY:
            onHotkey(static_cast<int>(wParam));
            return 0;
        case kTrayCallbackMessage:
            onTrayIcon(lParam);
            return 0;
        case WM_TIMER:
            if (wParam != kIdleTimer) break;
            checkIdleTime();
            return 0;
        case WM_POWERBROADCAST:
            // Tick counts go on through sleep: the idle time is looked at anew.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) checkIdleTime();
            return TRUE;
        case kFinishStartMessage:
            finishStart();
            return 0;
        case WM_QUERYENDSESSION:
            // The session may end without a word more to this program.
            delivery_.clearClipboardAtEnd();
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process right after this message.
            if (wParam) shutDown();
            return 0;
        case WM_DESTROY:
            unregisterHotkeys();
            stopWatchingSession();
            shutDown();
            if (displayBrush_) DeleteObject(displayBrush_);
            PostQuitMessage(0);
            return 0;
        default:
            if (message == restoreRequestMessage()) {
                restore();
                return 0;
            }
            if (message == kTaskbarCreatedMessage) {
                addTrayIcon();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

bool MainWindow::handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
    if (control == keyCodeDisplay_ && message == WM_LBUTTONUP) toggleCompactMode();
    if (control == titleList_ && message == WM_MOUSEMOVE) recordTarget();
    if (control == titleList_ && message == WM_LBUTTONDBLCLK) {
        inDoubleClick_ = true;
        result = DefSubclassProc(control, message, wParam, lParam);
        inDoubleClick_ = false;
        return true;
    }
    return false;
}

platform::WindowHandle MainWindow::ownWindow() {
    return HandleToLong(hwnd());
}

// The window in front while the pointer passes over the list is where the
// next click delivers; the click itself brings this window forward.
void MainWindow::recordTarget() {
    delivery_.recordTarget();
}

void MainWindow::deliver(const std::function<void()>& delivery) {
    ++deliveriesRunning_;
    const auto finished = [this] {
        if (--deliveriesRunning_ == 0 && lockPending_)
            PostMessageW(hwnd(), kPendingLockMessage, 0, 0);
    };
    try {
        delivery();
    } catch (...) {
        finished();
        throw;
    }
    finished();
}

void MainWindow::onTitleClick() {
    deliver([this] { delivery_.click(); });
}

void MainWindow::onTitleDoubleClick() {
    deliver([this] { delivery_.doubleClick(); });
}
