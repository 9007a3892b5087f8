// Delivery of the current item into the target window: target recording, the
// click and double-click handlers of the title list in both click modes, the
// paste step and sequence playback.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "paste/clipboard_keeper.h"
#include "paste/counter.h"
#include "paste/item_kind.h"
#include "platform/desktop.h"
#include "storage/program_files.h"
#include "storage/settings_record.h"

namespace paste {

// What delivery reads and changes of the main window.
class MainWindowState {
public:
    virtual ~MainWindowState() = default;
    // The group on display. Date, time and counter items change their key
    // code here; the change reaches the disk with the group's next write.
    virtual storage::ItemLists& itemLists() = 0;
    virtual const storage::SettingsRecord& settings() = 0;
    // The title list's focused line.
    virtual int currentItem() const = 0;
    // Moves the focus only: the highlighted lines stay as they are.
    virtual void makeCurrent(int item) = 0;
    virtual platform::WindowHandle ownWindow() = 0;
    virtual bool newlineToggleOn() = 0;
    // The key code display; the window masks it while the mask toggle is on.
    virtual void showKeyCode(const std::string& keyCode) = 0;
};

// The target was closed, or another window kept the foreground, before a
// step of a delivery: nothing more was typed and the clipboard was cleared.
// what() is the message the user sees, in UTF-8.
class TargetGone : public std::runtime_error {
public:
    TargetGone() : std::runtime_error("貼り付け先のウインドウがなくなったため、中断しました") {}
};

// Every handler may throw storage::ConversionError (an empty target field, a
// group number, counter or sequence step that is no number),
// platform::ClipboardError or TargetGone. The handler stops there; what it has
// already sent or changed stays.
class Delivery {
public:
    Delivery(MainWindowState& window, platform::Desktop& desktop);

    // At every mouse movement over the title list and at every hotkey:
    // remembers the foreground window as the target unless it is a window of
    // this program.
    void recordTarget();
    // A click on an item, or a keyboard move to it.
    void click();
    // The second click of a double click; click() has run just before.
    void doubleClick();
    // Ctrl+1 to Ctrl+4: the target is the window in front, and the slot's
    // item is delivered as a click on it would. Nothing is delivered unless
    // group 1 is on display and the program unlocked, nor when the slot
    // points past the end of the list.
    void hotkey(int slot, bool unlocked);
    // At the end of the run or of the session.
    void clearClipboardAtEnd() { clipboard_.clearAtEnd(); }

    // The target and the main window as decimal text; the target is empty
    // until the first recording.
    const std::string& targetField() const { return targetField_; }
    const std::string& ownHandleField() const { return ownHandleField_; }

private:
    struct MacroAction {
        std::optional<Counter> counter;  // read, to be advanced after the copy
        bool noPaste = false;            // a command or address replaced the paste
        bool endedEarly = false;         // a sequence stopped before its sixth step
    };

    bool singleClickModeOn();
    platform::WindowHandle target();
    void setKeyCode(int index, const std::string& keyCode);
    MacroAction actOnMacro(ItemKind kind, const std::string& title, const std::string& keyCode);
    void requireTarget();
    void pressIntoTarget(platform::Key key);
    void pasteStep();
    bool playSequence(const std::string& keyCode);
    bool playItemStep(const std::string& step);

    MainWindowState& window_;
    platform::Desktop& desktop_;
    ClipboardKeeper clipboard_;
    std::string targetField_;
    std::string ownHandleField_;
};

}  // namespace paste
