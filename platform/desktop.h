// What delivering a key code needs of the desktop: windows, synthesized keys,
// the clipboard, starting programs and the clock. Behind an interface so that
// the paste engine stays free of any operating system header and its order of
// effects can be checked by a recording fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// A top-level window. Window handles carry 32 significant bits on 64-bit
// Windows too, so a handle kept as decimal text always converts back with the
// program's 32-bit integer conversion.
using WindowHandle = std::int32_t;

struct LocalTime {
    int year = 0;
    int month = 0;      // 1..12
    int day = 0;        // 1..31
    int hour = 0;       // 0..23
    int minute = 0;     // 0..59
    int second = 0;     // 0..59
    int dayOfWeek = 0;  // 0 = Sunday
};

// An era and the year within it as the system's Japanese calendar writes
// them, both as code page 932 text.
struct EraYear {
    std::string eraName;
    std::string yearText;
};

enum class Key { Enter, Tab };

// The clipboard stayed held by another program, or refused the text. what()
// is the message the user sees, in UTF-8.
class ClipboardError : public std::runtime_error {
public:
    ClipboardError() : std::runtime_error("クリップボードを開くことができません") {}
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual WindowHandle foregroundWindow() = 0;
    // Whether the window is one of this program's own.
    virtual bool isOwnWindow(WindowHandle window) = 0;
    // Makes the window the foreground window and waits, bounded, until it has
    // taken the activation, so that the keys synthesized next reach it. False
    // when the window no longer exists or another program kept the
    // foreground: keys synthesized then would reach that program.
    virtual bool bringToForeground(WindowHandle window) = 0;
    virtual void setActiveWindow(WindowHandle window) = 0;

    // Key presses reach the target plain: modifiers the user still holds
    // (Shift, Ctrl, Alt, the Windows key) are released first.
    virtual void pressPaste() = 0;  // Ctrl down, V down, V up, Ctrl up
    virtual void pressKey(Key key) = 0;

    // Clicks and hotkeys that arrive meanwhile wait until afterwards; what
    // other programs send to the program's windows is answered, since a
    // target reading the clipboard may wait for such an answer.
    virtual void sleep(int milliseconds) = 0;
    // Runs the action once, on this thread, from the message loop after the
    // time has passed (never inside sleep()). The action must not throw.
    virtual void runLater(int milliseconds, std::function<void()> action) = 0;

    // Replaces the clipboard's content with the text (code page 932 bytes),
    // kept out of clipboard history and clipboard monitors. Throws
    // ClipboardError when the clipboard cannot be opened.
    virtual void putOnClipboard(const std::string& text) = 0;
    // Puts the empty text, but only while the clipboard still holds what this
    // program put there. Throws ClipboardError when it cannot be opened.
    virtual void clearClipboard() = 0;

    // Starts a command line (code page 932) with its window shown; does not
    // wait for it and reports nothing.
    virtual void runCommandLine(const std::string& commandLine) = 0;
    // Opens a document or address (code page 932) with the shell's "open"
    // verb; reports nothing.
    virtual void openDocument(WindowHandle owner, const std::string& name) = 0;

    virtual LocalTime localTime() = 0;
    // The era of the date as the system's Japanese calendar formats it;
    // nothing when the system has no such formatting.
    virtual std::optional<EraYear> japaneseEra(const LocalTime& date) = 0;
};

// The desktop of the machine the program runs on (Windows only).
Desktop& realDesktop();

// The clipboard's text for the program's own windows (Windows only), read
// with the same retries as delivery's clipboard access; empty when it holds
// no text or stays held by another program.
std::wstring readClipboardText();

}  // namespace platform
