#include "app/application_window.h"

#include "ui/messages.h"

bool ApplicationWindow::create() {
    return Window::create({.className = L"NemurokuApplication",
                           .caption = ui::kApplicationTitle,
                           .style = WS_POPUP,
                           .exStyle = WS_EX_TOOLWINDOW,
                           .x = 0,
                           .y = 0,
                           .width = 0,
                           .height = 0});
}
