#include "paste/clipboard_keeper.h"

namespace paste {

void ClipboardKeeper::put(const std::string& text) {
    ++content_;
    desktop_.putOnClipboard(text);
}

void ClipboardKeeper::clear() {
    const unsigned cleared = ++content_;
    try {
        desktop_.clearClipboard();
    } catch (const platform::ClipboardError&) {
        desktop_.runLater(kRetryAfter, [this, cleared] { clearIfStill(cleared); });
    }
}

void ClipboardKeeper::clearLater() {
    desktop_.runLater(kCopyKeptFor, [this, copied = content_] { clearIfStill(copied); });
}

void ClipboardKeeper::clearAtEnd() {
    try {
        desktop_.clearClipboard();
    } catch (const platform::ClipboardError&) {
    }
}

void ClipboardKeeper::clearIfStill(unsigned content) {
    if (content == content_) clear();
}

}  // namespace paste
