// The hidden top-level window that owns every window of the program. Owned
// windows get no taskbar button, so neither has the program.
#pragma once

#include "ui/window.h"

class ApplicationWindow : public ui::Window {
public:
    bool create();
};
