#include "dialogs/startup_password_window.h"

std::optional<std::string> StartupPasswordWindow::askPassword() {
    enteredPassword_ = std::string();
    showAndFocus();
    runModal();
    return enteredPassword_;
}

void StartupPasswordWindow::confirm() {
    enteredPassword_ = entry();
    ShowWindow(hwnd(), SW_HIDE);
}

void StartupPasswordWindow::cancel() {
    enteredPassword_ = std::string();
    ShowWindow(hwnd(), SW_HIDE);
}
