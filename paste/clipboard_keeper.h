// What the program puts on the clipboard never stays there past its time:
// cleared after a paste, after a while when it was only copied, and at the
// end of the run, and cleared again later while another program holds the
// clipboard. Only the program's own text is ever cleared.
#pragma once

#include <string>

#include "platform/desktop.h"

namespace paste {

class ClipboardKeeper {
public:
    // How long a key code that was only copied stays on the clipboard.
    static constexpr int kCopyKeptFor = 30'000;
    // How soon a clear that found the clipboard held is tried again.
    static constexpr int kRetryAfter = 500;

    explicit ClipboardKeeper(platform::Desktop& desktop) : desktop_(desktop) {}

    // Throws platform::ClipboardError when the clipboard cannot be opened.
    void put(const std::string& text);
    // Never throws: while another program holds the clipboard, tried again.
    void clear();
    // Clears in kCopyKeptFor unless the text is replaced or cleared before.
    void clearLater();
    // One attempt, for the end of the run and of the session; never throws.
    void clearAtEnd();

private:
    void clearIfStill(unsigned content);

    platform::Desktop& desktop_;
    // Counts what the program put or cleared; a clear that is due later acts
    // only while the content it was meant for is still the last.
    unsigned content_ = 0;
};

}  // namespace paste
