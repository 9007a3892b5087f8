// Combo box helpers shared by the registration and program mode windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace item_editing {

void setEntries(HWND comboBox, const std::vector<std::wstring>& entries);

// How many entries the opened list shows.
void showRowsWhenOpen(HWND comboBox, int rows);

// The position of the entry whose text the field holds exactly; -1 when the
// text was typed and matches none.
int entryOfText(HWND comboBox);

}  // namespace item_editing
