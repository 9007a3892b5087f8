// Where a run is, and what each request from the user, another program or
// the system may do in each part of it: the one place that decides.
#pragma once

namespace run_states {

enum class Phase {
    starting,  // reading the settings and group 1; a start that stops here stores nothing
    locked,    // the window is hidden until the start-up password passes; after a
               // lock nothing secret is held
    running,   // unlocked and at work
    closing,   // the shutdown sequence has run
};

// What asks the main window to act.
enum class Request {
    command,         // a menu command, a top bar button, the item menu, the title list
    exitCommand,     // "終了" of the icon's menu
    lockCommand,     // "ロック" of the icon's menu
    deliveryHotkey,  // Ctrl+1 to Ctrl+4
    showRequest,     // Shift+Enter, a click on the icon, a second start
    iconMenu,        // the icon's menu opened
    lockTrigger,     // the screen locked, the session disconnected, the system suspending
    idleCheck,       // the idle timer, or a resume from sleep
};

enum class Response {
    ignore,
    act,          // what the request does while running
    askPassword,  // the start-up password window, to unlock
    lock,
};

Response responseTo(Request request, Phase phase);

}  // namespace run_states
