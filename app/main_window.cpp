#include "app/main_window.h"

#include <algorithm>

#include "storage/errors.h"
#include "storage/group_rules.h"
#include "ui/file_dialog.h"
#include "ui/messages.h"
#include "ui/resource_ids.h"
#include "ui/text.h"

namespace {

namespace line = storage::settings_line;

constexpr int kDesignedLeft = 197;
constexpr int kDesignedTop = 108;
constexpr int kDesignedWidth = 149;
constexpr int kDesignedHeight = 452;
constexpr int kMaximumWidth = 300;
constexpr int kMaximumHeight = 452;
constexpr int kCompactHeight = 68;
constexpr BYTE kDesignedOpacity = 165;
constexpr int kTopBarHeight = 41;

constexpr UINT kTrayCallbackMessage = WM_USER + 100;
constexpr UINT kTrayIconId = 1;

enum ControlId : int {
    kMaskEdit1 = 1001,
    kButton1,
    kButton2,
    kBitBtn2,
    kBitBtn3,
    kBitBtn4,
    kBitBtn1,
    kListBox1,
};

// The top bar: the key code display across the top (wider than the window, so
// its right part is cut off) and below it the row of buttons.
constexpr ui::ControlSpec kControls[] = {
    {kMaskEdit1, L"EDIT", L"", 0, 0, 160, 20,
     WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE},
    {kButton1, L"BUTTON", L"<", 0, 20, 13, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kButton2, L"BUTTON", L">", 12, 20, 13, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kBitBtn2, L"BUTTON", L"隠蔽", 24, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kBitBtn3, L"BUTTON", L"透過", 53, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kBitBtn4, L"BUTTON", L"改行", 82, 20, 30, 21, WS_VISIBLE | BS_OWNERDRAW},
    {kBitBtn1, L"BUTTON", L"最小", 111, 20, 30, 21, WS_VISIBLE | BS_PUSHBUTTON},
    {kListBox1, L"LISTBOX", L"", 0, kTopBarHeight, 141, 300,
     WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE},
};

struct Hint {
    int control;
    const wchar_t* text;
};
constexpr Hint kHints[] = {
    {kButton1, L"グループを変更します"},
    {kButton2, L"グループを変更します"},
    {kBitBtn2, L"キーコードをマスクします"},
    {kBitBtn3, L"ウインドウを透過処理します"},
    {kBitBtn4, L"キーコードを貼り付けた後改行します"},
    {kBitBtn1, L"アイコンの状態に最小化します"},
};

constexpr const wchar_t kGroupFileFilter[] = L"ネムロク設定ファイル\0*.ini\0";

// The key code display's background tells the groups apart.
COLORREF groupColour(int group) {
    switch (group) {
        case 2:
            return RGB(200, 240, 220);
        case 3:
            return RGB(255, 220, 200);
        default:
            return GetSysColor(COLOR_WINDOW);
    }
}

const UINT kTaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

std::wstring refusalText(const platform::Path& unreadFile) {
    return L"ファイル " + unreadFile.wstring() + L" は読み込めなかったため、上書きしませんでした。";
}

}  // namespace

TForm1::TForm1(HWND applicationWindow, platform::FileSystem& fs, platform::Path programFolder)
    : applicationWindow_(applicationWindow),
      files_(fs, std::move(programFolder)),
      opacity_(kDesignedOpacity),
      displayColour_(GetSysColor(COLOR_WINDOW)) {}

UINT TForm1::restoreRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"NemurokuRestoreRequest");
    return message;
}

bool TForm1::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const bool created = Window::create({
        .className = L"TForm1",
        .caption = ui::kApplicationTitle,
        .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
        .exStyle = WS_EX_TOPMOST,
        .x = kDesignedLeft,
        .y = kDesignedTop,
        .width = kDesignedWidth,
        .height = kDesignedHeight,
        .owner = applicationWindow_,
        .menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)),
        .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON)),
    });
    if (!created)
        return false;
    createTopBarAndList();
    FormCreate();
    return true;
}

void TForm1::createTopBarAndList() {
    createControls(kControls);
    MaskEdit1 = control(kMaskEdit1);
    ListBox1 = control(kListBox1);
    Button1 = control(kButton1);
    Button2 = control(kButton2);
    BitBtn1 = control(kBitBtn1);
    BitBtn2.attach(control(kBitBtn2));
    BitBtn3.attach(control(kBitBtn3));
    BitBtn4.attach(control(kBitBtn4));
    for (const Hint& hint : kHints) ui::addHint(hwnd(), control(hint.control), hint.text);
    // The key code display starts masked, and the mask button shows it.
    SendMessageW(MaskEdit1, EM_SETPASSWORDCHAR, L'*', 0);
    BitBtn2.setOn(true);
    setDisplayColour(GetSysColor(COLOR_WINDOW));
    layOut();
}

// Loads the settings and group 1, applies the settings to the window, puts
// the icon into the notification area and writes the backups of group 1.
void TForm1::FormCreate() {
    const bool settingsFileFound = files_.settingsExist();
    if (!settingsFileFound) {
        ui::notice(L"設定ファイルがみつかりません\r\nパスワード漏洩防止の為データをクリアします");
        files_.deleteAllGroups();
    }
    if (!files_.groupExists(1))
        lists_ = storage::defaultItemLists();
    if (settingsFileFound) {
        try {
            files_.loadSettings(settings_);
            applySettings();
        } catch (const storage::FileError& error) {
            unreadSettingsFile_ = error.path();
            ui::showError(error);
        }
    }
    if (files_.groupExists(1))
        loadGroup1();
    showItemLists();
    addTrayIcon();
    highlightFirstItem();
    if (unreadGroupFile_)
        return;  // the backups keep the last group 1 that was read
    try {
        files_.writeBackups(lists_);
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}

void TForm1::applySettings() {
    applyGeometry();
    if (!settings_.isOn(line::kStayOnTop)) {
        SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    applyTransparency();
    BitBtn4.setOn(settings_.isOn(line::kNewline));
}

void TForm1::applyGeometry() {
    const int left = settingAsNumber(line::kLeft, kDesignedLeft);
    const int top = settingAsNumber(line::kTop, kDesignedTop);
    const int width = std::clamp(settingAsNumber(line::kWidth, kDesignedWidth), 0, kMaximumWidth);
    const int height =
        std::clamp(settingAsNumber(line::kHeight, kDesignedHeight), 0, kMaximumHeight);
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::applyTransparency() {
    if (!settings_.isOn(line::kTransparency)) {
        setTransparency(false);
        return;
    }
    int level = 0;
    const std::string& levelText = settings_.line(line::kTransparencyLevel);
    if (storage::tryToInteger(levelText, level)) {
        opacity_ = static_cast<BYTE>(storage::opacityAtStart(level));
    } else {
        ui::showError(storage::ConversionError(levelText));
    }
    setTransparency(true);
}

// A stored number that is no number keeps the window's designed value; the
// start goes on after the usual conversion message.
int TForm1::settingAsNumber(std::size_t index, int designedValue) {
    int value = 0;
    const std::string& text = settings_.line(index);
    if (storage::tryToInteger(text, value))
        return value;
    ui::showError(storage::ConversionError(text));
    return designedValue;
}

void TForm1::loadGroup1() {
    try {
        lists_ = files_.readGroup(1);
    } catch (const storage::FileError& error) {
        lists_ = {};
        unreadGroupFile_ = error.path();
        ui::showError(error);
    }
}

void TForm1::showItemLists() {
    ui::setListItems(ListBox1, lists_.titles);
}

void TForm1::highlightFirstItem() {
    if (lists_.titles.empty())
        return;
    ui::highlightOnly(ListBox1, 0);
    showKeyCode(lists_.keyCodes.front());
}

void TForm1::showKeyCode(const std::string& keyCode) {
    SetWindowTextW(MaskEdit1, ui::fromCp932(keyCode).c_str());
}

void TForm1::setDisplayColour(COLORREF colour) {
    displayColour_ = colour;
    if (displayBrush_)
        DeleteObject(displayBrush_);
    displayBrush_ = CreateSolidBrush(colour);
    InvalidateRect(MaskEdit1, nullptr, TRUE);
}

void TForm1::setTransparency(bool on) {
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    if (on) {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd(), 0, opacity_, LWA_ALPHA);
    } else {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    BitBtn3.setOn(on);
}

void TForm1::showFirstTime() {
    FormShow();
    if (!IsWindow(hwnd()))
        return;
    shownOnce_ = true;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

void TForm1::FormShow() {
    if (settings_.line(line::kPasswordAtStart).empty())
        settings_.setLine(line::kPasswordAtStart, "1");
    Label1 = "1";
    ShowWindow(applicationWindow_, SW_HIDE);
}

// The shutdown sequence: note the window's place and the toggles in the
// settings, then write and encrypt the group on display and the settings.
void TForm1::Close1Click() {
    if (shutDownDone_)
        return;
    shutDownDone_ = true;
    storeOnExit();
    Sleep(50);
    removeTrayIcon();
}

void TForm1::storeOnExit() {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    if (rect.bottom - rect.top == kCompactHeight) {
        int fullHeight = kDesignedHeight;
        storage::tryToInteger(settings_.line(line::kHeight), fullHeight);
        SetWindowPos(hwnd(), nullptr, 0, 0, rect.right - rect.left,
                     std::clamp(fullHeight, 0, kMaximumHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(hwnd(), &rect);
    }
    settings_.setLine(line::kLeft, std::to_string(rect.left));
    settings_.setLine(line::kTop, std::to_string(rect.top));
    settings_.setLine(line::kWidth, std::to_string(rect.right - rect.left));
    settings_.setLine(line::kHeight, std::to_string(rect.bottom - rect.top));
    settings_.setLine(line::kTransparency, BitBtn3.isOn() ? "1" : "0");
    settings_.setLine(line::kNewline, BitBtn4.isOn() ? "1" : "0");

    try {
        storeGroupOnDisplay();
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
    if (unreadSettingsFile_) {
        ui::notice(refusalText(*unreadSettingsFile_));
        return;
    }
    try {
        files_.saveSettings(settings_);
    } catch (const storage::FileError& error) {
        ui::showError(error);
    }
}

// Writes and encrypts the group on display, unless its files could not be
// read: then what is shown is not their content and must not replace it.
void TForm1::storeGroupOnDisplay() {
    if (unreadGroupFile_) {
        ui::notice(refusalText(*unreadGroupFile_));
        return;
    }
    files_.writeGroup(groupOnDisplay(), lists_);
}

// Stores the group left, creates the group entered if it was never stored,
// and shows it. A group that cannot be read is not entered: the display, both
// lists and the group number stay as they were.
void TForm1::switchToGroup(int target) {
    storeGroupOnDisplay();
    if (!files_.groupExists(target))
        files_.writeGroup(target, storage::defaultItemLists());
    lists_ = files_.readGroup(target);
    unreadGroupFile_.reset();
    setDisplayColour(groupColour(target));
    showItemLists();
    highlightFirstItem();
    settings_.setLine(line::kGroupOnDisplay, std::to_string(target));
}

void TForm1::Button1Click() {
    switchToGroup(storage::previousGroup(groupOnDisplay()));
}

void TForm1::Button2Click() {
    switchToGroup(storage::nextGroup(groupOnDisplay()));
}

// Import: replaces both lists with an exported pair; nothing is written until
// the group is next stored.
void TForm1::Save1Click() {
    const auto chosen = ui::askFileToOpen(hwnd(), {L"設定ファイル.ini", kGroupFileFilter});
    if (!chosen)
        return;
    const platform::Path titleFile(*chosen);
    const platform::Path keyCodeFile = storage::importedKeyCodePath(titleFile);
    if (!files_.fs().exists(keyCodeFile)) {
        ui::notice(L"読み込めません");
        return;
    }
    if (!ui::confirm(nullptr, L"クリア確認",
                     L"このグループの内容を全てクリアしてもよろしいですか？")) {
        return;
    }
    lists_ = storage::readExportedPair(files_.fs(), titleFile, keyCodeFile);
    // The user chose to replace the group, so the new lists may be stored.
    unreadGroupFile_.reset();
    showItemLists();
}

// Export: writes the pair under the chosen name, then stores the group on
// display, also when the dialog was cancelled.
void TForm1::Save2Click() {
    if (const auto chosen = ui::askFileToSave(hwnd(), {L"設定ファイル", kGroupFileFilter})) {
        storage::writeExportedPair(files_.fs(), platform::Path(*chosen), lists_);
    }
    storeGroupOnDisplay();
}

int TForm1::groupOnDisplay() const {
    int group = 1;
    if (!storage::tryToInteger(settings_.line(line::kGroupOnDisplay), group) || group < 1 ||
        group > storage::kGroupCount) {
        return 1;
    }
    return group;
}

void TForm1::addTrayIcon() {
    trayIcon_.cbSize = sizeof(trayIcon_);
    trayIcon_.hWnd = hwnd();
    trayIcon_.uID = kTrayIconId;
    trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon_.uCallbackMessage = kTrayCallbackMessage;
    trayIcon_.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(trayIcon_.szTip, ui::kApplicationTitle, ARRAYSIZE(trayIcon_.szTip));
    Shell_NotifyIconW(NIM_ADD, &trayIcon_);
}

void TForm1::removeTrayIcon() {
    Shell_NotifyIconW(NIM_DELETE, &trayIcon_);
}

void TForm1::restore() {
    if (!shownOnce_)
        return;  // still starting: the first showing comes on its own
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd());
}

void TForm1::layOut() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(ListBox1, 0, kTopBarHeight, client.right,
               std::max(0L, client.bottom - kTopBarHeight), TRUE);
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_SAVE1:
                    Save1Click();
                    return 0;
                case IDM_SAVE2:
                    Save2Click();
                    return 0;
                case IDM_CLOSE1:
                    Close1Click();
                    DestroyWindow(hwnd());
                    return 0;
                case kButton1:
                    Button1Click();
                    return 0;
                case kButton2:
                    Button2Click();
                    return 0;
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const ui::ToggleButton* toggle : {&BitBtn2, &BitBtn3, &BitBtn4}) {
                if (item.hwndItem == toggle->hwnd())
                    toggle->draw(item);
            }
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == MaskEdit1) {
                SetBkColor(reinterpret_cast<HDC>(wParam), displayColour_);
                return reinterpret_cast<LRESULT>(displayBrush_);
            }
            break;
        case WM_SIZE:
            layOut();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMaxTrackSize = {kMaximumWidth, kMaximumHeight};
            limits->ptMaxSize = {kMaximumWidth, kMaximumHeight};
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process right after this message.
            if (wParam)
                Close1Click();
            return 0;
        case WM_DESTROY:
            Close1Click();
            if (displayBrush_)
                DeleteObject(displayBrush_);
            PostQuitMessage(0);
            return 0;
        default:
            if (message == restoreRequestMessage()) {
                restore();
                return 0;
            }
            if (message == kTaskbarCreatedMessage) {
                Shell_NotifyIconW(NIM_ADD, &trayIcon_);
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}
