#include "dialogs/startup_password_window.h"

std::optional<std::string> TForm7::askPassword() {
    enteredPassword_ = std::string();
    showAndFocus();
    runModal();
    return enteredPassword_;
}

void TForm7::Button1Click() {
    enteredPassword_ = entry();
    ShowWindow(hwnd(), SW_HIDE);
}

void TForm7::Button2Click() {
    enteredPassword_ = std::string();
    ShowWindow(hwnd(), SW_HIDE);
}
