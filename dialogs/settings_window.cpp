#include "dialogs/settings_window.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "ui/text.h"

namespace {

constexpr int kClientWidth = 408;
constexpr int kClientHeight = 297;

enum ControlId : int {
    kRadioGroup1 = 100,
    kCheckBox2,
    kCheckBox3,
    kCheckBox4,
    kGroupBox2,
    kCheckBox5,
    kLabel4,
    kGroupBox1,
    kTrackBar1,
    kLabel1,
    kLabel3,
    kLabel2,
    kRadioGroup2,
    kCheckBox1,
    kGroupBox3,
    kCheckBox6,
    kEdit1,
    kLabel5,
    kComboBox1,
    kLabel6,
    kComboBox2,
    kLabel7,
    kComboBox3,
    kLabel8,
    kComboBox4,
};

constexpr int kGroupBoxIds[] = {kCheckBox2, kCheckBox3, kCheckBox4};
constexpr int kComboBoxIds[] = {kComboBox1, kComboBox2, kComboBox3, kComboBox4};

constexpr DWORD kFrame = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kTickBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = WS_VISIBLE;
constexpr DWORD kHotkeyList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
// A drop-down list's height includes its open list.
constexpr int kHotkeyListHeight = 200;

// Left: single-click mode, display, transparency, OK at the bottom. Right:
// password and hotkeys. Frames come before their contents, which keeps the
// tab order and the drawing order right.
constexpr ui::ControlSpec kControls[] = {
    {kRadioGroup1, L"BUTTON", L"シングルクリックモード", 8, 4, 196, 78, kFrame},
    {kCheckBox2, L"BUTTON", L"グループ１をONにする", 20, 22, 176, 16, kTickBox},
    {kCheckBox3, L"BUTTON", L"グループ２をONにする", 20, 40, 176, 16, kTickBox},
    {kCheckBox4, L"BUTTON", L"グループ３をONにする", 20, 58, 176, 16, kTickBox},

    {kGroupBox2, L"BUTTON", L"画面表示の設定", 8, 88, 196, 58, kFrame},
    {kCheckBox5, L"BUTTON", L"常に画面上に表示しておく", 20, 106, 176, 16, kTickBox},
    {kLabel4, L"STATIC", L"※ねむろく再起動時に反映されます。", 13, 126, 189, 13, kLabel},

    {kGroupBox1, L"BUTTON", L"ウインドウ透過率の設定", 8, 152, 196, 98, kFrame},
    {kTrackBar1, TRACKBAR_CLASSW, L"", 16, 172, 180, 30,
     WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS},
    {kLabel1, L"STATIC", L"薄く", 20, 208, 40, 14, kLabel},
    // Moved under the slider's position 2 once the slider is there.
    {kLabel3, L"STATIC", L"標準", 110, 208, 40, 14, kLabel | SS_CENTER},
    {kLabel2, L"STATIC", L"濃く", 152, 208, 40, 14, kLabel | SS_RIGHT},

    {IDOK, L"BUTTON", L"OK", 8, 262, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},

    {kRadioGroup2, L"BUTTON", L"パスワードの入力", 210, 4, 190, 46, kFrame},
    {kCheckBox1, L"BUTTON", L"ねむろく起動毎に要求する", 220, 22, 176, 16, kTickBox},

    {kGroupBox3, L"BUTTON", L"ショートカットキーの設定", 210, 56, 190, 233, kFrame},
    {kCheckBox6, L"BUTTON", L"タスクトレイからの復帰をON", 218, 74, 180, 16, kTickBox},
    {kEdit1, L"EDIT", L"Shift + ENTER", 220, 94, 170, 20,
     WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kLabel5, L"STATIC", L"CTRL + 1", 220, 122, 170, 14, kLabel},
    {kComboBox1, L"COMBOBOX", L"", 220, 136, 170, kHotkeyListHeight, kHotkeyList},
    {kLabel6, L"STATIC", L"CTRL + 2", 220, 162, 170, 14, kLabel},
    {kComboBox2, L"COMBOBOX", L"", 220, 176, 170, kHotkeyListHeight, kHotkeyList},
    {kLabel7, L"STATIC", L"CTRL + 3", 220, 202, 170, 14, kLabel},
    {kComboBox3, L"COMBOBOX", L"", 220, 216, 170, kHotkeyListHeight, kHotkeyList},
    {kLabel8, L"STATIC", L"CTRL + 4", 220, 242, 170, 14, kLabel},
    {kComboBox4, L"COMBOBOX", L"", 220, 256, 170, kHotkeyListHeight, kHotkeyList},
};

// The note under "常に画面上に表示しておく" is set smaller than the rest.
HFONT noteFont() {
    static HFONT font = [] {
        LOGFONTW description{};
        description.lfHeight = -11;
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = SHIFTJIS_CHARSET;
        description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        wcscpy(description.lfFaceName, L"ＭＳ Ｐゴシック");
        return CreateFontIndirectW(&description);
    }();
    return font;
}

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

TForm5::TForm5(MainWindowAccess& mainWindow)
    : mainWindow_(mainWindow), form_(mainWindow.settings(), *this) {}

bool TForm5::create(HWND owner) {
    if (!createDialog({L"TForm5", L"詳細設定", kClientWidth, kClientHeight, owner})) return false;
    createControls(kControls);
    for (std::size_t i = 0; i < groupBoxes_.size(); ++i) groupBoxes_[i] = control(kGroupBoxIds[i]);
    for (std::size_t i = 0; i < ComboBoxes_.size(); ++i) ComboBoxes_[i] = control(kComboBoxIds[i]);
    CheckBox5 = control(kCheckBox5);
    TrackBar1 = control(kTrackBar1);
    CheckBox1 = control(kCheckBox1);

    SendMessageW(control(kLabel4), WM_SETFONT, reinterpret_cast<WPARAM>(noteFont()), FALSE);
    SendMessageW(TrackBar1, TBM_SETRANGE, FALSE,
                 MAKELPARAM(settings_rules::kLowestLevel, settings_rules::kHighestLevel));
    SendMessageW(TrackBar1, TBM_SETTICFREQ, 1, 0);
    centreUnderSliderPosition(hwnd(), TrackBar1, control(kLabel3), 2);
    setTicked(control(kCheckBox6), true);
    showTicksAndSlider();

    conversation_.emplace(hwnd());
    behaveAsDialog(IDOK);
    return true;
}

void TForm5::showSettings() {
    ShowWindow(hwnd(), SW_SHOW);
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

void TForm5::showTicksAndSlider() {
    const settings_rules::SettingsControls& controls = form_.controls();
    for (std::size_t i = 0; i < groupBoxes_.size(); ++i) {
        setTicked(groupBoxes_[i], controls.singleClickGroups[i]);
    }
    setTicked(CheckBox5, controls.stayOnTop);
    setTicked(CheckBox1, controls.passwordAtStart);
    SendMessageW(TrackBar1, TBM_SETPOS, TRUE, controls.transparencyLevel);
}

void TForm5::showHotkeyLists() {
    const settings_rules::SettingsControls& controls = form_.controls();
    for (std::size_t k = 0; k < ComboBoxes_.size(); ++k) {
        HWND list = ComboBoxes_[k];
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& title : controls.hotkeyItems) {
            const std::wstring text = ui::fromCp932(title);
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(controls.hotkeySelections[k]), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

std::array<int, settings_rules::kHotkeyCount> TForm5::hotkeySelections() const {
    std::array<int, settings_rules::kHotkeyCount> selections{};
    for (std::size_t k = 0; k < ComboBoxes_.size(); ++k) {
        // CB_ERR, no selection, is -1 like settings_rules::kNoSelection.
        selections[k] = static_cast<int>(SendMessageW(ComboBoxes_[k], CB_GETCURSEL, 0, 0));
    }
    return selections;
}

void TForm5::CheckBoxGroupClick(int groupIndex) {
    form_.singleClickGroupChanged(groupIndex,
                                  isTicked(groupBoxes_[static_cast<std::size_t>(groupIndex)]));
}

void TForm5::CheckBox5Click() {
    form_.stayOnTopChanged(isTicked(CheckBox5));
}

void TForm5::TrackBar1Change() {
    const int position = static_cast<int>(SendMessageW(TrackBar1, TBM_GETPOS, 0, 0));
    if (position != form_.controls().transparencyLevel) form_.sliderMoved(position);
}

void TForm5::CheckBox1Click() {
    form_.passwordAtStartChanged(isTicked(CheckBox1));
    // A wrong password ticks the box again.
    showTicksAndSlider();
}

// The hotkey choices, then the whole record to disk; the window closes only
// once the settings file is written.
void TForm5::Button1Click() {
    form_.confirmHotkeys(hotkeySelections());
    mainWindow_.programFiles().saveSettings(mainWindow_.settings());
    ShowWindow(hwnd(), SW_HIDE);
}

bool TForm5::handleCommand(int id, int notification) {
    if (notification != BN_CLICKED) return false;
    switch (id) {
        case kCheckBox2:
        case kCheckBox3:
        case kCheckBox4:
            CheckBoxGroupClick(id - kCheckBox2);
            return true;
        case kCheckBox5:
            CheckBox5Click();
            return true;
        case kCheckBox1:
            CheckBox1Click();
            return true;
        case IDOK:
            Button1Click();
            return true;
        case IDCANCEL:
            // Esc closes like the close box: the changes already made stay.
            ShowWindow(hwnd(), SW_HIDE);
            return true;
    }
    return false;
}

LRESULT TForm5::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == TrackBar1) {
                TrackBar1Change();
                return 0;
            }
            break;
    }
    return defaultHandling(message, wParam, lParam);
}

void TForm5::setOpacity(int alpha) {
    mainWindow_.setOpacity(alpha);
}

std::optional<storage::Lines> TForm5::group1Titles() {
    storage::ProgramFiles& files = mainWindow_.programFiles();
    if (!files.groupExists(1)) return std::nullopt;
    return files.readTitlesInMemory(1);
}

password_rules::Conversation& TForm5::conversation() {
    return *conversation_;
}
