// The desktop on Windows, through the wide-character API only. The model's
// text is code page 932 and is converted with that code page explicitly, never
// with the system's ANSI code page, so delivery is the same on any locale.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page_932.h"
#include "platform/desktop.h"
#include "platform/lazy_function.h"

namespace platform {
namespace {

HWND toHwnd(WindowHandle window) {
    return static_cast<HWND>(LongToHandle(window));
}

WindowHandle handleOf(HWND window) {
    return HandleToLong(window);
}

// --- Waiting ----------------------------------------------------------------

// Waits while answering what other threads send to this thread's windows;
// what is posted (clicks, hotkeys) stays queued for afterwards. A program
// that pastes may first ask the clipboard's owner window something and wait
// for the answer (Wine's X11 driver does so on every clipboard read): a
// thread that merely slept would hold the target's paste until after the
// clipboard is cleared.
void waitAnsweringSentMessages(DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE,
                                    MWMO_INPUTAVAILABLE);
    }
}

// --- Bringing a window forward --------------------------------------------

constexpr ULONGLONG kActivationTimeout = 250;
constexpr DWORD kActivationPoll = 1;

// Active is not enough: until the target's thread has also set its focus,
// key presses reach it as system keys, and Ctrl+V pastes nothing.
bool hasTakenActivation(HWND window, DWORD thread) {
    if (GetForegroundWindow() != window) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) return false;
    return info.hwndActive == window || info.hwndActive == GetAncestor(window, GA_ROOT);
}

constexpr UINT kCatchUpTimeout = 100;
constexpr int kPasteRoundTrips = 6;

// Returns once the target's thread has handled what was queued for it before;
// the second round trip covers what that thread reads from the display only
// after answering the first. Bounded, and at once for a hung target.
void letCatchUp(HWND window, int roundTrips = 2) {
    for (int roundTrip = 0; roundTrip < roundTrips; ++roundTrip) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCatchUpTimeout,
                                 &ignored))
            return;
    }
}

// Keys synthesized right after SetForegroundWindow are dropped while the
// target's thread has not yet taken the activation. Sharing its input state
// for the switch makes the switch take at once, and the wait covers programs
// that are slow to process it.
void switchTo(HWND window, DWORD targetThread) {
    const DWORD ownThread = GetCurrentThreadId();
    const bool attached =
        targetThread != ownThread && AttachThreadInput(ownThread, targetThread, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(ownThread, targetThread, FALSE);
    const ULONGLONG deadline = GetTickCount64() + kActivationTimeout;
    // The target's activation may itself wait for an answer from this thread.
    while (!hasTakenActivation(window, targetThread) && GetTickCount64() < deadline) {
        waitAnsweringSentMessages(kActivationPoll);
    }
}

constexpr int kSwitchAttempts = 3;

// The click that chose the item took the focus from the target. Under Wine a
// target that handles that loss only after it has been brought forward again
// hands the foreground to the desktop, and the keys go nowhere. So the target
// first catches up, and it counts as forward only when it still is once it
// has caught up again.
void bringForward(HWND window) {
    if (!IsWindow(window)) return;
    const DWORD targetThread = GetWindowThreadProcessId(window, nullptr);
    letCatchUp(window);
    for (int attempt = 0; attempt < kSwitchAttempts; ++attempt) {
        switchTo(window, targetThread);
        letCatchUp(window);
        if (hasTakenActivation(window, targetThread)) return;
    }
}

// Whether a window other than the target, and not one of this program's,
// holds the foreground: keys synthesized now would reach it. This program's
// own windows, or none, hold it only while the window manager catches up, and
// the target is brought forward again before the keys (keepKeysOutOfThisProgram).
bool anotherWindowInFront(HWND target) {
    HWND foreground = GetForegroundWindow();
    if (!foreground || foreground == target || foreground == GetDesktopWindow()) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process != GetCurrentProcessId();
}

// --- Running later ----------------------------------------------------------

// Actions waiting for their timer, by timer id.
std::map<UINT_PTR, std::function<void()>>& pendingActions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK runPendingAction(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto pending = pendingActions().extract(timer);
    if (!pending.empty()) pending.mapped()();
}

// --- Keys -------------------------------------------------------------------

constexpr WORD kModifiers[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                               VK_LMENU,  VK_RMENU,  VK_LWIN,     VK_RWIN};
// An unassigned virtual key, tapped before Alt or the Windows key comes up so
// that their release alone opens neither the menu bar nor the Start menu.
constexpr WORD kMaskKey = 0xE8;

bool isExtendedKey(WORD key) {
    return key == VK_RCONTROL || key == VK_RMENU || key == VK_LWIN || key == VK_RWIN;
}

INPUT keyEvent(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// A Shift still held from a Shift-click would turn Ctrl+V into Ctrl+Shift+V,
// and a Ctrl still held from a hotkey Enter into Ctrl+Enter.
std::vector<INPUT> releaseOfHeldModifiers() {
    std::vector<INPUT> inputs;
    bool menuKeyHeld = false;
    for (WORD key : kModifiers) {
        if (GetAsyncKeyState(key) & 0x8000) {
            inputs.push_back(keyEvent(key, true));
            menuKeyHeld = menuKeyHeld || key == VK_LMENU || key == VK_RMENU || key == VK_LWIN ||
                          key == VK_RWIN;
        }
    }
    if (menuKeyHeld)
        inputs.insert(inputs.begin(), {keyEvent(kMaskKey, false), keyEvent(kMaskKey, true)});
    return inputs;
}

// One SendInput call, so that no other input lands between the events.
void sendPlain(std::initializer_list<INPUT> keys) {
    std::vector<INPUT> inputs = releaseOfHeldModifiers();
    inputs.insert(inputs.end(), keys);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// --- Clipboard --------------------------------------------------------------

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryPause = 20;

// Registered formats by which Windows leaves the content out of the clipboard
// history and the cloud clipboard, and clipboard managers leave it alone.
constexpr const wchar_t* kPrivacyFormats[] = {
    L"ExcludeClipboardContentFromMonitorProcessing",
    L"CanIncludeInClipboardHistory",
    L"CanUploadToCloudClipboard",
    L"Clipboard Viewer Ignore",
};

// Another program may hold the clipboard for a moment.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0) waitAnsweringSentMessages(kOpenRetryPause);
        if (OpenClipboard(owner)) return true;
    }
    return false;
}

// Bounded by the size of the memory block: a terminator that another program
// left out must not let the read run past it.
std::wstring unicodeTextOf(HANDLE data) {
    const auto* characters = static_cast<const wchar_t*>(GlobalLock(data));
    if (!characters) return {};
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    std::wstring text(characters, wcsnlen(characters, capacity));
    GlobalUnlock(data);
    return text;
}

bool setClipboardBytes(UINT format, const void* data, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

class Clipboard {
public:
    void put(const std::string& text) {
        const std::wstring unicode = fromCp932(text);
        if (!open()) throw ClipboardError();
        bool stored = EmptyClipboard() != FALSE;
        // Best effort: a Windows that does not know a format keeps the text anyway.
        const DWORD no = 0;
        for (const wchar_t* name : kPrivacyFormats) {
            if (const UINT format = RegisterClipboardFormatW(name); format && stored)
                setClipboardBytes(format, &no, sizeof(no));
        }
        // Windows serves CF_TEXT to programs that ask for it.
        stored = stored && setClipboardBytes(CF_UNICODETEXT, unicode.c_str(),
                                             (unicode.size() + 1) * sizeof(wchar_t));
        CloseClipboard();
        if (!stored) throw ClipboardError();
        ourContent_ = GetClipboardSequenceNumber();
        putOnce_ = true;
    }

    // Something the user copied after the program's text must survive the
    // clearing. Where the sequence number is unavailable (0) the text is
    // cleared anyway: leaving a secret behind is the worse outcome.
    void clear() {
        if (!putOnce_) return;
        const DWORD current = GetClipboardSequenceNumber();
        if (current != 0 && current != ourContent_) return;
        put(std::string());
    }

private:
    bool open() { return openClipboard(owner()); }

    // A hidden message-only window owns what the program puts there.
    HWND owner() {
        if (!owner_) {
            owner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        }
        return owner_;
    }

    HWND owner_ = nullptr;
    DWORD ourContent_ = 0;
    bool putOnce_ = false;
};

// --- Japanese calendar ------------------------------------------------------

// Asked of the Japanese locale whatever the user's locale, so that the era
// form is the same on any Windows.
std::optional<std::string> japaneseCalendarText(const SYSTEMTIME& date, const wchar_t* picture) {
    wchar_t buffer[64];
    const int length = GetDateFormatEx(L"ja-JP", DATE_USE_ALT_CALENDAR, &date, picture, buffer,
                                       ARRAYSIZE(buffer), nullptr);
    if (length <= 0) return std::nullopt;
    return toCp932(std::wstring(buffer, length - 1));
}

SYSTEMTIME systemTimeOf(const LocalTime& time) {
    SYSTEMTIME result{};
    result.wYear = static_cast<WORD>(time.year);
    result.wMonth = static_cast<WORD>(time.month);
    result.wDay = static_cast<WORD>(time.day);
    result.wDayOfWeek = static_cast<WORD>(time.dayOfWeek);
    result.wHour = static_cast<WORD>(time.hour);
    result.wMinute = static_cast<WORD>(time.minute);
    result.wSecond = static_cast<WORD>(time.second);
    return result;
}

// --- The desktop ------------------------------------------------------------

class Win32Desktop : public Desktop {
public:
    WindowHandle foregroundWindow() override { return handleOf(GetForegroundWindow()); }

    bool isOwnWindow(WindowHandle window) override {
        DWORD process = 0;
        return GetWindowThreadProcessId(toHwnd(window), &process) &&
               process == GetCurrentProcessId();
    }

    bool bringToForeground(WindowHandle window) override {
        keyTarget_ = toHwnd(window);
        bringForward(keyTarget_);
        return IsWindow(keyTarget_) && !anotherWindowInFront(keyTarget_);
    }

    void setActiveWindow(WindowHandle window) override { SetActiveWindow(toHwnd(window)); }

    // The clipboard is cleared a fixed time after the paste, and a target that a
    // busy machine keeps from its keys that long would paste nothing. So the
    // paste returns once the target has come round to its messages often enough
    // to have taken the keys and the character they make.
    void pressPaste() override {
        keepKeysOutOfThisProgram();
        sendPlain({keyEvent(VK_CONTROL, false), keyEvent('V', false), keyEvent('V', true),
                   keyEvent(VK_CONTROL, true)});
        letCatchUp(keyTarget_, kPasteRoundTrips);
    }

    void pressKey(Key key) override {
        keepKeysOutOfThisProgram();
        const WORD code = key == Key::Enter ? VK_RETURN : VK_TAB;
        sendPlain({keyEvent(code, false), keyEvent(code, true)});
    }

    void sleep(int milliseconds) override {
        waitAnsweringSentMessages(static_cast<DWORD>(milliseconds));
    }

    void runLater(int milliseconds, std::function<void()> action) override {
        const UINT_PTR timer =
            SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &runPendingAction);
        if (timer) pendingActions()[timer] = std::move(action);
    }

    void putOnClipboard(const std::string& text) override { clipboard_.put(text); }

    void clearClipboard() override { clipboard_.clear(); }

    void runCommandLine(const std::string& commandLine) override {
        std::wstring command = fromCp932(commandLine);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }

    void openDocument(WindowHandle owner, const std::string& name) override {
        // Shell extensions that handle the verb may need COM on this thread.
        static const auto initialiseCom =
            lazyFunction<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        static const auto execute =
            lazyFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
        if (!comReady_ && initialiseCom) {
            initialiseCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            comReady_ = true;
        }
        if (execute)
            execute(toHwnd(owner), L"open", fromCp932(name).c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
    }

    LocalTime localTime() override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return {now.wYear,   now.wMonth,  now.wDay,      now.wHour,
                now.wMinute, now.wSecond, now.wDayOfWeek};
    }

    std::optional<EraYear> japaneseEra(const LocalTime& date) override {
        const SYSTEMTIME day = systemTimeOf(date);
        auto eraName = japaneseCalendarText(day, L"gg");
        // "yyyy" writes an era year of one digit with a leading zero ("03").
        auto yearText = japaneseCalendarText(day, L"yyyy");
        if (!eraName || !yearText || eraName->empty()) return std::nullopt;
        return EraYear{*eraName, *yearText};
    }

private:
    // A window manager that catches up late with the click that chose the
    // item can hand the foreground back to this program, or to nobody, after
    // the target was brought forward; keys pressed then would be lost. They go
    // to the window brought forward last instead. Another program that has
    // taken the foreground keeps it.
    void keepKeysOutOfThisProgram() {
        if (!keyTarget_ || !IsWindow(keyTarget_)) return;
        HWND foreground = GetForegroundWindow();
        if (foreground == keyTarget_) return;
        DWORD process = 0;
        if (foreground) GetWindowThreadProcessId(foreground, &process);
        if (foreground && foreground != GetDesktopWindow() && process != GetCurrentProcessId())
            return;
        bringForward(keyTarget_);
    }

    HWND keyTarget_ = nullptr;
    Clipboard clipboard_;
    bool comReady_ = false;
};

}  // namespace

Desktop& realDesktop() {
    static Win32Desktop desktop;
    return desktop;
}

std::wstring readClipboardText() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !openClipboard(nullptr)) return {};
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) text = unicodeTextOf(data);
    CloseClipboard();
    return text;
}

}  // namespace platform
