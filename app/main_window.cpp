#include "app/main_window.h"

#include "app/main_window_design.h"

#include <algorithm>
#include <vector>

#include "storage/errors.h"
#include "ui/messages.h"
#include <commctrl.h>
#include "ui/resource_ids.h"
#include "ui/text.h"

using namespace main_window;

namespace {

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

const UINT kTaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

}  // namespace

TForm1::TForm1(HWND applicationWindow, platform::FileSystem& fs, platform::Path programFolder)
    : applicationWindow_(applicationWindow),
      files_(fs, std::move(programFolder)),
      delivery_(*this, platform::realDesktop()),
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
        .exStyle = 0,
        .x = kDesignedLeft,
        .y = kDesignedTop,
        .width = kDesignedWidth,
        .height = kDesignedHeight,
        .owner = applicationWindow_,
        .menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)),
        .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON)),
    });
    if (!created) return false;
    createTopBarAndList();
    FormCreate();
    return true;
}

// Created once, after the main window; hidden until asked for.
void TForm1::createSecondaryWindows() {
    registrationWindow_ = std::make_unique<TForm2>(*this);
    registrationWindow_->create(hwnd());
    editWindow_ = std::make_unique<TForm3>(*this);
    editWindow_->create(hwnd());
    aboutWindow_ = std::make_unique<TForm4>(*this);
    aboutWindow_->create(hwnd());
    settingsWindow_ = std::make_unique<TForm5>(*this);
    settingsWindow_->create(hwnd());
    startupPasswordWindow_ = std::make_unique<TForm7>();
    startupPasswordWindow_->create(hwnd());
    passwordCheckWindow_ = std::make_unique<TForm8>(settings_, [this] { uncoverKeyCode(); });
    passwordCheckWindow_->create(hwnd());
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
    listenTo(MaskEdit1);
    listenTo(ListBox1);
    layOut();
}

void TForm1::showItemLists() {
    ui::setListItems(ListBox1, lists_.titles);
}

void TForm1::highlightFirstItem() {
    if (lists_.titles.empty()) return;
    ui::highlightOnly(ListBox1, 0);
    showKeyCode(lists_.keyCodes.front());
}

// Shows the changed lists; the highlighted lines and the current item stay
// where they were as far as the list still reaches.
void TForm1::listsChanged() {
    const int count = static_cast<int>(SendMessageW(ListBox1, LB_GETCOUNT, 0, 0));
    std::vector<int> selected(static_cast<std::size_t>(std::max(count, 0)));
    const auto selectedCount = SendMessageW(ListBox1, LB_GETSELITEMS, selected.size(),
                                            reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(static_cast<std::size_t>(std::max<LRESULT>(selectedCount, 0)));
    const int current = currentItem();
    showItemLists();
    const int newCount = static_cast<int>(lists_.titles.size());
    for (int line : selected) {
        if (line < newCount) SendMessageW(ListBox1, LB_SETSEL, TRUE, line);
    }
    if (current >= 0 && newCount > 0) {
        SendMessageW(ListBox1, LB_SETCARETINDEX, std::min(current, newCount - 1), FALSE);
    }
}

int TForm1::currentItem() const {
    if (SendMessageW(ListBox1, LB_GETCOUNT, 0, 0) <= 0) return -1;
    return static_cast<int>(SendMessageW(ListBox1, LB_GETCARETINDEX, 0, 0));
}

void TForm1::setOpacity(int alpha) {
    opacity_ = static_cast<BYTE>(alpha);
    if (BitBtn3.isOn()) SetLayeredWindowAttributes(hwnd(), 0, opacity_, LWA_ALPHA);
}

void TForm1::showKeyCode(const std::string& keyCode) {
    SetWindowTextW(MaskEdit1, ui::fromCp932(keyCode).c_str());
}

void TForm1::setDisplayColour(COLORREF colour) {
    displayColour_ = colour;
    if (displayBrush_) DeleteObject(displayBrush_);
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

void TForm1::layOut() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(ListBox1, 0, kTopBarHeight, client.right,
               std::max(0L, client.bottom - kTopBarHeight), TRUE);
}

bool TForm1::handleCommand(int id, int notification) {
    if (id == kListBox1) {
        if (notification == LBN_SELCHANGE && !inDoubleClick_) ListBox1Click();
        if (notification == LBN_DBLCLK) ListBox1DblClick();
        return true;
    }
    switch (id) {
        case IDM_SAVE1:
            Save1Click();
            return true;
        case IDM_SAVE2:
            Save2Click();
            return true;
        case IDM_CLOSE1:
            Close1Click();
            DestroyWindow(hwnd());
            return true;
        case IDM_PASSWORD1:
            password1Click();
            return true;
        case IDM_A1:
            a1Click();
            return true;
        case IDM_DELETE1:
            Delete1Click();
            return true;
        case IDM_EDIT2:
            Edit2Click();
            return true;
        case IDM_N7:
            N7Click();
            return true;
        case IDM_N5:
            N5Click();
            return true;
        case IDM_N15:
            N15Click();
            return true;
        case IDM_ABOUT1:
            About1Click();
            return true;
        case IDM_N16:
            N16Click();
            return true;
        case kButton1:
            Button1Click();
            return true;
        case kButton2:
            Button2Click();
            return true;
        case kBitBtn1:
            N9Click();
            return true;
        case kBitBtn2:
            CheckBox2Click();
            return true;
        case kBitBtn3:
            CheckBox3Click();
            return true;
        case kBitBtn4:
            BitBtn4Click();
            return true;
    }
    return false;
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const ui::ToggleButton* toggle : {&BitBtn2, &BitBtn3, &BitBtn4}) {
                if (item.hwndItem == toggle->hwnd()) toggle->draw(item);
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
            limits->ptMinTrackSize.y = std::min<LONG>(limits->ptMinTrackSize.y, kCompactHeight);
            return 0;
        }
        case WM_CONTEXTMENU:
            ListBox1ContextPopup();
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
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process right after this message.
            if (wParam) Close1Click();
            return 0;
        case WM_DESTROY:
            unregisterHotkeys();
            Close1Click();
            if (displayBrush_) DeleteObject(displayBrush_);
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

bool TForm1::handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT& result) {
    if (control == MaskEdit1 && message == WM_LBUTTONUP) MaskEdit1Click();
    if (control == ListBox1 && message == WM_MOUSEMOVE) ListBox1MouseMove();
    if (control == ListBox1 && message == WM_LBUTTONDBLCLK) {
        inDoubleClick_ = true;
        result = DefSubclassProc(control, message, wParam, lParam);
        inDoubleClick_ = false;
        return true;
    }
    return false;
}

platform::WindowHandle TForm1::ownWindow() {
    return HandleToLong(hwnd());
}

// The window in front while the pointer passes over the list is where the
// next click delivers; the click itself brings this window forward.
void TForm1::ListBox1MouseMove() {
    delivery_.recordTarget();
}

void TForm1::ListBox1Click() {
    delivery_.click();
}

void TForm1::ListBox1DblClick() {
    delivery_.doubleClick();
}
