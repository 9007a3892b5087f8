// What the secondary windows use of the main window, which owns all state of
// the run. They read and change it directly, at the moment their buttons are
// pressed.
#pragma once

#include <string>

#include "storage/program_files.h"
#include "storage/settings_record.h"

class MainWindowAccess {
public:
    virtual ~MainWindowAccess() = default;

    virtual storage::SettingsRecord& settings() = 0;
    // The title list and the key code list of the group on display; whoever
    // changes them calls listsChanged() afterwards.
    virtual storage::ItemLists& itemLists() = 0;
    virtual void listsChanged() = 0;
    // The group whose lists itemLists() holds, 1 to 3.
    virtual int groupOnDisplay() const = 0;
    // The current item (the focused line of the title list), -1 when none.
    virtual int currentItem() const = 0;
    virtual void showKeyCode(const std::string& keyCode) = 0;
    // Writes and encrypts the group on display; throws storage::FileError.
    virtual void storeGroupOnDisplay() = 0;
    // Writes and encrypts the settings record, unless the settings may not be
    // written in this run; throws storage::FileError.
    virtual void storeSettings() = 0;
    virtual storage::ProgramFiles& programFiles() = 0;
    // The main window's opacity, 0 to 255, used while transparency is on.
    virtual void setOpacity(int alpha) = 0;
};
