// Group switching, and the import and export of the group on display.
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/main_window_texts.h"
#include "storage/errors.h"
#include "storage/integer_text.h"
#include "storage/group_rules.h"
#include "ui/file_dialog.h"
#include "ui/messages.h"

using namespace main_window;

namespace {
// Export never writes over a file of the program, and asks before it replaces
// any other file, as a save dialog would.
bool mayExportTo(HWND owner, storage::ProgramFiles& files, const platform::Path& chosen) {
    const platform::Path pair[] = {storage::exportedTitlePath(chosen),
                                   storage::exportedKeyCodePath(chosen)};
    for (const platform::Path& file : pair) {
        if (storage::isProgramFile(file, files.folder())) {
            ui::notice(texts::programFileRefused(file));
            return false;
        }
    }
    for (const platform::Path& file : pair) {
        if (files.fs().exists(file) &&
            !ui::confirm(owner, ui::kApplicationTitle, texts::replaceQuestion(file))) {
            return false;
        }
    }
    return true;
}
}  // namespace

COLORREF main_window::groupColour(int group) {
    switch (group) {
        case 2:
            return RGB(200, 240, 220);
        case 3:
            return RGB(255, 220, 200);
        default:
            return GetSysColor(COLOR_WINDOW);
    }
}

// Writes and encrypts the group on display, unless its files could not be
// read: then what is shown is not their content and must not replace it.
void MainWindow::storeGroupOnDisplay() {
    if (secretsDropped_) return;  // what is held is not the group
    if (unreadGroupFile_) {
        ui::notice(leftoverOfGroup(groupOnDisplay()) ? texts::cannotDelete(*unreadGroupFile_)
                                                     : texts::refusal(*unreadGroupFile_));
        return;
    }
    files_.writeGroup(groupOnDisplay(), lists_);
}

// Stores the group left, creates the group entered if it was never stored,
// and shows it. A group that cannot be read is not entered: the display, both
// lists and the group number stay as they were.
void MainWindow::switchToGroup(int target) {
    if (const auto leftover = leftoverOfGroup(target)) {
        ui::notice(texts::cannotDelete(*leftover));
        return;
    }
    storeGroupOnDisplay();
    if (!files_.groupExists(target)) files_.writeGroup(target, storage::defaultItemLists());
    lists_ = files_.readGroup(target);
    unreadGroupFile_.reset();
    setDisplayColour(groupColour(target));
    showItemLists();
    highlightFirstItem();
    settings_.setLine(line::kGroupOnDisplay, std::to_string(target));
}

void MainWindow::showPreviousGroup() {
    switchToGroup(storage::previousGroup(groupOnDisplay()));
}

void MainWindow::showNextGroup() {
    switchToGroup(storage::nextGroup(groupOnDisplay()));
}

// Import: replaces both lists with an exported pair; nothing is written until
// the group is next stored.
void MainWindow::importGroup() {
    const auto chosen =
        ui::askFileToOpen(hwnd(), {texts::kImportFileName, texts::kGroupFileFilter});
    if (!chosen) return;
    const platform::Path titleFile(*chosen);
    const platform::Path keyCodeFile = storage::importedKeyCodePath(titleFile);
    if (!files_.fs().exists(keyCodeFile)) {
        ui::notice(texts::kCannotReadPair);
        return;
    }
    if (!ui::confirm(nullptr, texts::kClearCaption, texts::kClearQuestion)) {
        return;
    }
    lists_ = storage::readExportedPair(files_.fs(), titleFile, keyCodeFile);
    // The user chose to replace the group, so the new lists may be stored.
    unreadGroupFile_.reset();
    showItemLists();
}

// Export: writes the pair under the chosen name, then stores the group on
// display, also when the dialog was cancelled.
void MainWindow::exportGroup() {
    const auto chosen =
        ui::askFileToSave(hwnd(), {texts::kExportFileName, texts::kGroupFileFilter});
    if (secretsDropped_) return;  // locked while the dialog was open
    if (chosen && mayExportTo(hwnd(), files_, platform::Path(*chosen))) {
        storage::writeExportedPair(files_.fs(), platform::Path(*chosen), lists_);
    }
    storeGroupOnDisplay();
}

int MainWindow::groupOnDisplay() const {
    int group = 1;
    if (!storage::tryToInteger(settings_.line(line::kGroupOnDisplay), group) || group < 1 ||
        group > storage::kGroupCount) {
        return 1;
    }
    return group;
}
