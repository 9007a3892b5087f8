// Entry point: one instance per executable name, the main window, the message
// loop.
#include <windows.h>

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
    for (int wait = 0; running && processHasEnded(running) && wait < 50; ++wait) {
        Sleep(100);
        running = FindWindowW(MainWindow::kClassName, ui::kApplicationTitle);
    }
    return running && !processHasEnded(running) ? running : nullptr;
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

    ATOM instanceAtom = GlobalFindAtomW(atomName.c_str());
    if (instanceAtom) {
        if (HWND running = runningMainWindow()) {
            handOverTo(running);
            return 0;
        }
        // The atom of an instance that ended without cleaning up: start anyway.
    } else {
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
