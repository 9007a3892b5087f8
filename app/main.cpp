// Entry point: one instance per executable, the main window, the message
// loop.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/application_window.h"
#include "app/main_window.h"
#include "platform/file_system.h"
#include "ui/messages.h"
#include "ui/window.h"

namespace {

std::wstring executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Brings the running instance back, also from the notification area, and
// hands it the foreground that this newly started process still holds.
void handOverTo(HWND runningMainWindow) {
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(runningMainWindow, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(runningMainWindow, MainWindow::restoreRequestMessage(), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    SetForegroundWindow(runningMainWindow);
}

bool processHasEnded(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return true;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// The main window of the instance already running. The window of an instance
// whose process has just ended can linger for a moment; it does not count.
HWND runningMainWindow() {
    HWND running = FindWindowW(MainWindow::kClassName, ui::kApplicationTitle);
    return running && !processHasEnded(running) ? running : nullptr;
}

// One instance per executable, decided by the system at once: a mutex named
// after the executable's full path in any case, held until the process ends.
std::wstring instanceMutexName(const std::wstring& exe) {
    std::wstring upper = exe;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a: the path is too long for a name
    for (const wchar_t c : upper) hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001b3u;
    std::wstring name = L"Local\\nemuroku-";
    for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(hash >> shift) & 0xF];
    return name;
}

// Another start holds the mutex: its main window, which it may still be
// creating, is waited for a few seconds and handed over to. True when that
// instance ended meanwhile and this one now holds the mutex; never while it
// is alive.
bool instanceEndedMeanwhile(HANDLE mutex) {
    for (int wait = 0; wait < 50; ++wait) {
        if (HWND running = runningMainWindow()) {
            handOverTo(running);
            return false;
        }
        const DWORD result = WaitForSingleObject(mutex, 100);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return true;
    }
    return false;
}

int runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (ui::handleDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const platform::Path exe = executablePath();
    const std::wstring atomName = exe.filename().wstring();

    // Released by the system when the process ends, however it ends.
    HANDLE instanceMutex = CreateMutexW(nullptr, TRUE, instanceMutexName(exe.wstring()).c_str());
    if (!instanceMutex) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS && !instanceEndedMeanwhile(instanceMutex)) return 0;

    // The atom marks the running instance for what looks for it; one left by
    // an instance that ended without cleaning up is used again.
    ATOM instanceAtom = GlobalFindAtomW(atomName.c_str());
    if (!instanceAtom) {
        instanceAtom = GlobalAddAtomW(atomName.c_str());
        if (!instanceAtom) return 0;
    }

    int exitCode = 0;
    {
        ApplicationWindow application;
        application.create();
        MainWindow mainWindow(application.hwnd(), platform::realFileSystem(), exe.parent_path());
        if (mainWindow.create()) {
            if (mainWindow.showFirstTime()) exitCode = runMessageLoop();
        }
    }
    GlobalDeleteAtom(instanceAtom);
    return exitCode;
}
