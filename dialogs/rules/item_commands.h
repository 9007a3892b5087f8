// The item commands of the main window on the two lists of the group on
// display. Every change touches the title list first and then the key code
// list at the same position, so that line i of one always belongs to line i
// of the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "storage/program_files.h"

namespace item_commands {

inline constexpr std::size_t kCapacity = 30;
inline constexpr const char* kSeparatorTitle = "---------------";

// Adding and inserting a separator are refused from the 30th line on. Only
// their start is tested, so a registration already under way can still take
// a group past the limit.
bool isFull(const storage::ItemLists& lists);

// What the registration window shows when the add command opens it. A line
// file cannot hold a line break or a NUL, so only the clipboard's first line,
// up to any NUL, is taken.
struct AddPrefill {
    std::wstring title;    // the number of items: the position the new one takes
    std::wstring keyCode;  // the first line of the clipboard text
};
AddPrefill addPrefill(std::wstring_view clipboardText, std::size_t itemCount);

// Whether both lists have a line at `position`.
bool hasItem(const storage::ItemLists& lists, int position);

// Appends an item; an empty title adds nothing and gives false.
bool appendItem(storage::ItemLists& lists, const std::string& title, const std::string& keyCode);

// Replaces the item at `position`; an empty title or a position that no longer
// exists changes nothing and gives false.
bool replaceItem(storage::ItemLists& lists, int position, const std::string& title,
                 const std::string& keyCode);

// The item an edit started from: the group on display, its position and what
// it held then. position is -1 when there was no item to load.
struct LoadedItem {
    int group = 0;
    int position = -1;
    std::string title;
    std::string keyCode;
};
LoadedItem loadItem(const storage::ItemLists& lists, int group, int position);

// Whether the loaded item still stands where it was: the same group on display
// and exactly the same title and key code at the same position. An edit
// written anywhere else would overwrite an item the user never opened.
bool stillStands(const LoadedItem& loaded, const storage::ItemLists& lists, int groupOnDisplay);

// Exchanges the current item with the one above; false when there is none.
bool moveUp(storage::ItemLists& lists, int current);

// Removes every highlighted line; positions outside the lists are ignored.
void deleteItems(storage::ItemLists& lists, std::vector<int> highlighted);

// Inserts a separator with an empty key code above the current item (as the
// only line of an empty list).
void insertSeparator(storage::ItemLists& lists, int current);

}  // namespace item_commands
