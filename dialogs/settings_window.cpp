#include "dialogs/settings_window.h"

#include <commctrl.h>

#include <string>

#include "dialogs/texts.h"
#include "ui/font.h"
#include "platform/code_page_932.h"

namespace {

constexpr int kClientWidth = 408;
constexpr int kClientHeight = 297;

enum ControlId : int {
    kSingleClickFrame = 100,
    kSingleClickGroup1Box,
    kSingleClickGroup2Box,
    kSingleClickGroup3Box,
    kDisplayFrame,
    kStayOnTopBox,
    kRestartNote,
    kTransparencyFrame,
    kOpacitySlider,
    kFaintLabel,
    kStandardLabel,
    kDenseLabel,
    kPasswordFrame,
    kPasswordAtStartBox,
    kHotkeyFrame,
    kRestoreHotkeyBox,
    kRestoreHotkeyField,
    kHotkey1Label,
    kHotkey1List,
    kHotkey2Label,
    kHotkey2List,
    kHotkey3Label,
    kHotkey3List,
    kHotkey4Label,
    kHotkey4List,
};

constexpr int kSingleClickBoxIds[] = {kSingleClickGroup1Box, kSingleClickGroup2Box,
                                      kSingleClickGroup3Box};
constexpr int kHotkeyListIds[] = {kHotkey1List, kHotkey2List, kHotkey3List, kHotkey4List};

constexpr DWORD kFrame = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kTickBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = WS_VISIBLE;
constexpr DWORD kHotkeyList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
// A drop-down list's height includes its open list.
constexpr int kHotkeyListHeight = 200;

// Left: single-click mode, display, transparency, OK at the bottom. Right:
// password and hotkeys. Frames come before their contents, which keeps the
// tab order and the drawing order right.
constexpr ui::ControlLayout kControls[] = {
    {kSingleClickFrame, L"BUTTON", L"シングルクリックモード", 8, 4, 196, 78, kFrame},
    {kSingleClickGroup1Box, L"BUTTON", L"グループ１をONにする", 20, 22, 176, 16, kTickBox},
    {kSingleClickGroup2Box, L"BUTTON", L"グループ２をONにする", 20, 40, 176, 16, kTickBox},
    {kSingleClickGroup3Box, L"BUTTON", L"グループ３をONにする", 20, 58, 176, 16, kTickBox},

    {kDisplayFrame, L"BUTTON", L"画面表示の設定", 8, 88, 196, 58, kFrame},
    {kStayOnTopBox, L"BUTTON", L"常に画面上に表示しておく", 20, 106, 176, 16, kTickBox},
    {kRestartNote, L"STATIC", L"※ねむろく再起動時に反映されます。", 13, 126, 189, 13, kLabel},

    {kTransparencyFrame, L"BUTTON", L"ウインドウ透過率の設定", 8, 152, 196, 98, kFrame},
    {kOpacitySlider, TRACKBAR_CLASSW, L"", 16, 172, 180, 30,
     WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS},
    {kFaintLabel, L"STATIC", L"薄く", 20, 208, 40, 14, kLabel},
    // Moved under the slider's position 2 once the slider is there.
    {kStandardLabel, L"STATIC", L"標準", 110, 208, 40, 14, kLabel | SS_CENTER},
    {kDenseLabel, L"STATIC", L"濃く", 152, 208, 40, 14, kLabel | SS_RIGHT},

    {IDOK, L"BUTTON", L"OK", 8, 262, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},

    {kPasswordFrame, L"BUTTON", L"パスワードの入力", 210, 4, 190, 46, kFrame},
    {kPasswordAtStartBox, L"BUTTON", L"ねむろく起動毎に要求する", 220, 22, 176, 16, kTickBox},

    {kHotkeyFrame, L"BUTTON", L"ショートカットキーの設定", 210, 56, 190, 233, kFrame},
    {kRestoreHotkeyBox, L"BUTTON", L"タスクトレイからの復帰をON", 218, 74, 180, 16, kTickBox},
    {kRestoreHotkeyField, L"EDIT", L"Shift + ENTER", 220, 94, 170, 20,
     WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kHotkey1Label, L"STATIC", L"CTRL + 1", 220, 122, 170, 14, kLabel},
    {kHotkey1List, L"COMBOBOX", L"", 220, 136, 170, kHotkeyListHeight, kHotkeyList},
    {kHotkey2Label, L"STATIC", L"CTRL + 2", 220, 162, 170, 14, kLabel},
    {kHotkey2List, L"COMBOBOX", L"", 220, 176, 170, kHotkeyListHeight, kHotkeyList},
    {kHotkey3Label, L"STATIC", L"CTRL + 3", 220, 202, 170, 14, kLabel},
    {kHotkey3List, L"COMBOBOX", L"", 220, 216, 170, kHotkeyListHeight, kHotkeyList},
    {kHotkey4Label, L"STATIC", L"CTRL + 4", 220, 242, 170, 14, kLabel},
    {kHotkey4List, L"COMBOBOX", L"", 220, 256, 170, kHotkeyListHeight, kHotkeyList},
};

bool isTicked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setTicked(HWND box, bool ticked) {
    SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Centres a label under a position of the slider; the slider's channel and
// thumb decide where that is, so it is measured rather than assumed.
void centreUnderSliderPosition(HWND window, HWND slider, HWND label, int position) {
    RECT channel{}, thumb{}, labelRect{};
    SendMessageW(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int thumbWidth = thumb.right - thumb.left;
    const int travel = channel.right - channel.left - thumbWidth;
    const int centreInSlider =
        channel.left + thumbWidth / 2 + travel * position / settings_rules::kHighestLevel;
    POINT centre{centreInSlider, 0};
    MapWindowPoints(slider, window, &centre, 1);
    GetWindowRect(label, &labelRect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&labelRect), 2);
    const int width = labelRect.right - labelRect.left;
    MoveWindow(label, centre.x - width / 2, labelRect.top, width, labelRect.bottom - labelRect.top,
               FALSE);
}

}  // namespace

SettingsWindow::SettingsWindow(MainWindowAccess& mainWindow)
    : mainWindow_(mainWindow), form_(mainWindow.settings(), *this) {}

bool SettingsWindow::create(HWND owner) {
    if (!createDialog({L"NemurokuSettingsWindow", dialog_texts::kSettingsCaption, kClientWidth,
                       kClientHeight, owner}))
        return false;
    createControls(kControls);
    for (std::size_t i = 0; i < singleClickBoxes_.size(); ++i)
        singleClickBoxes_[i] = control(kSingleClickBoxIds[i]);
    for (std::size_t i = 0; i < hotkeyLists_.size(); ++i)
        hotkeyLists_[i] = control(kHotkeyListIds[i]);
    stayOnTopBox_ = control(kStayOnTopBox);
    opacitySlider_ = control(kOpacitySlider);
    passwordAtStartBox_ = control(kPasswordAtStartBox);

    SendMessageW(opacitySlider_, TBM_SETRANGE, FALSE,
                 MAKELPARAM(settings_rules::kLowestLevel, settings_rules::kHighestLevel));
    SendMessageW(opacitySlider_, TBM_SETTICFREQ, 1, 0);
    fitToDpi();
    setTicked(control(kRestoreHotkeyBox), true);
    showTicksAndSlider();

    conversation_.emplace(hwnd());
    behaveAsDialog(IDOK);
    return true;
}

// The note under "常に画面上に表示しておく" is set smaller than the rest, and
// "標準" stands under the slider's position 2, wherever the slider puts it.
void SettingsWindow::fitToDpi() {
    SendMessageW(control(kRestartNote), WM_SETFONT, reinterpret_cast<WPARAM>(ui::smallFont(dpi())),
                 FALSE);
    centreUnderSliderPosition(hwnd(), opacitySlider_, control(kStandardLabel), 2);
}

void SettingsWindow::showSettings() {
    ShowWindow(hwnd(), SW_SHOW);
    if (questionOpen_) {
        // Filling now would run the box's handler again under the open
        // question, and its answer would then be written over.
        SetForegroundWindow(GetLastActivePopup(hwnd()));
        return;
    }
    SetForegroundWindow(hwnd());
    try {
        form_.fill();
    } catch (...) {
        // What was filled before the failure stays, on screen as in the record.
        showTicksAndSlider();
        showHotkeyLists();
        throw;
    }
    showTicksAndSlider();
    showHotkeyLists();
}

void SettingsWindow::showTicksAndSlider() {
    const settings_rules::SettingsControls& controls = form_.controls();
    for (std::size_t i = 0; i < singleClickBoxes_.size(); ++i) {
        setTicked(singleClickBoxes_[i], controls.singleClickGroups[i]);
    }
    setTicked(stayOnTopBox_, controls.stayOnTop);
    setTicked(passwordAtStartBox_, controls.passwordAtStart);
    SendMessageW(opacitySlider_, TBM_SETPOS, TRUE, controls.transparencyLevel);
}

void SettingsWindow::showHotkeyLists() {
    const settings_rules::SettingsControls& controls = form_.controls();
    for (std::size_t k = 0; k < hotkeyLists_.size(); ++k) {
        HWND list = hotkeyLists_[k];
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& title : controls.hotkeyItems) {
            const std::wstring text = platform::fromCp932(title);
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(controls.hotkeySelections[k]), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

std::array<int, settings_rules::kHotkeyCount> SettingsWindow::hotkeySelections() const {
    std::array<int, settings_rules::kHotkeyCount> selections{};
    for (std::size_t k = 0; k < hotkeyLists_.size(); ++k) {
        // CB_ERR, no selection, is -1 like settings_rules::kNoSelection.
        selections[k] = static_cast<int>(SendMessageW(hotkeyLists_[k], CB_GETCURSEL, 0, 0));
    }
    return selections;
}

void SettingsWindow::toggleSingleClickGroup(int groupIndex) {
    form_.singleClickGroupChanged(
        groupIndex, isTicked(singleClickBoxes_[static_cast<std::size_t>(groupIndex)]));
}

void SettingsWindow::toggleStayOnTop() {
    form_.stayOnTopChanged(isTicked(stayOnTopBox_));
}

void SettingsWindow::onSliderMoved() {
    const int position = static_cast<int>(SendMessageW(opacitySlider_, TBM_GETPOS, 0, 0));
    if (position != form_.controls().transparencyLevel) form_.sliderMoved(position);
}

void SettingsWindow::togglePasswordAtStart() {
    questionOpen_ = true;
    try {
        form_.passwordAtStartChanged(isTicked(passwordAtStartBox_));
    } catch (...) {
        questionOpen_ = false;
        throw;
    }
    questionOpen_ = false;
    // A wrong password ticks the box again.
    showTicksAndSlider();
}

// The hotkey choices, then the whole record to disk; the window closes only
// once the settings file is written.
void SettingsWindow::confirmAndSave() {
    form_.confirmHotkeys(hotkeySelections());
    mainWindow_.storeSettings();
    ShowWindow(hwnd(), SW_HIDE);
}

bool SettingsWindow::handleCommand(int id, int notification) {
    if (notification != BN_CLICKED) return false;
    switch (id) {
        case kSingleClickGroup1Box:
        case kSingleClickGroup2Box:
        case kSingleClickGroup3Box:
            toggleSingleClickGroup(id - kSingleClickGroup1Box);
            return true;
        case kStayOnTopBox:
            toggleStayOnTop();
            return true;
        case kPasswordAtStartBox:
            togglePasswordAtStart();
            return true;
        case IDOK:
            confirmAndSave();
            return true;
        case IDCANCEL:
            // Esc closes like the close box: the changes already made stay.
            ShowWindow(hwnd(), SW_HIDE);
            return true;
    }
    return false;
}

LRESULT SettingsWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_DPICHANGED:
            fitToDpi();
            return 0;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == opacitySlider_) {
                onSliderMoved();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

void SettingsWindow::setOpacity(int alpha) {
    mainWindow_.setOpacity(alpha);
}

std::optional<storage::Lines> SettingsWindow::group1Titles() {
    storage::ProgramFiles& files = mainWindow_.programFiles();
    if (!files.groupExists(1)) return std::nullopt;
    return files.readTitlesInMemory(1);
}

password_rules::Conversation& SettingsWindow::conversation() {
    return *conversation_;
}

bool SettingsWindow::filesNeedPassword() {
    return mainWindow_.programFiles().format() == storage::StoredFormat::Strong;
}
