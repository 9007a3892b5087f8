// The main window's designed sizes and values, shared by its source files.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "storage/settings_record.h"

namespace main_window {

namespace line = storage::settings_line;

constexpr int kDesignedLeft = 197;
constexpr int kDesignedTop = 108;
constexpr int kDesignedWidth = 149;
constexpr int kDesignedHeight = 452;
constexpr int kMaximumWidth = 300;
constexpr int kMaximumHeight = 452;
constexpr int kCompactHeight = 68;
constexpr BYTE kDesignedOpacity = 165;
constexpr int kTopBarHeight = 41;

constexpr UINT kTrayCallbackMessage = WM_USER + 100;
constexpr UINT kTrayIconId = 1;
// Posted once the window is shown and painted.
constexpr UINT kFinishStartMessage = WM_USER + 101;
// Posted when a delivery that held up a lock has finished.
constexpr UINT kPendingLockMessage = WM_USER + 102;
constexpr UINT_PTR kIdleTimer = 1;

// Controls of the main window.
enum ControlId : int {
    kKeyCodeDisplay = 1001,
    kPreviousGroupButton,
    kNextGroupButton,
    kMaskToggle,
    kTransparencyToggle,
    kNewlineToggle,
    kMinimiseButton,
    kTitleList,
};

// The key code display's background in the full view tells the groups apart.
COLORREF groupColour(int group);

}  // namespace main_window
