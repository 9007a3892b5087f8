#include "dialogs/rules/item_commands.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace item_commands {

bool hasItem(const storage::ItemLists& lists, int position) {
    return position >= 0 && static_cast<std::size_t>(position) < lists.titles.size() &&
           static_cast<std::size_t>(position) < lists.keyCodes.size();
}

bool isFull(const storage::ItemLists& lists) {
    return lists.titles.size() > kCapacity - 1;
}

AddPrefill addPrefill(std::wstring_view clipboardText, std::size_t itemCount) {
    const std::wstring_view firstLine =
        clipboardText.substr(0, clipboardText.find_first_of(std::wstring_view(L"\r\n\0", 3)));
    return {std::to_wstring(itemCount), std::wstring(firstLine)};
}

bool appendItem(storage::ItemLists& lists, const std::string& title, const std::string& keyCode) {
    if (title.empty()) return false;
    lists.titles.push_back(title);
    lists.keyCodes.push_back(keyCode);
    return true;
}

bool replaceItem(storage::ItemLists& lists, int position, const std::string& title,
                 const std::string& keyCode) {
    if (title.empty() || !hasItem(lists, position)) return false;
    lists.titles[static_cast<std::size_t>(position)] = title;
    lists.keyCodes[static_cast<std::size_t>(position)] = keyCode;
    return true;
}

LoadedItem loadItem(const storage::ItemLists& lists, int group, int position) {
    if (!hasItem(lists, position)) return {group, -1, {}, {}};
    const auto p = static_cast<std::size_t>(position);
    return {group, position, lists.titles[p], lists.keyCodes[p]};
}

bool stillStands(const LoadedItem& loaded, const storage::ItemLists& lists, int groupOnDisplay) {
    if (loaded.group != groupOnDisplay || !hasItem(lists, loaded.position)) return false;
    const auto p = static_cast<std::size_t>(loaded.position);
    return lists.titles[p] == loaded.title && lists.keyCodes[p] == loaded.keyCode;
}

bool moveUp(storage::ItemLists& lists, int current) {
    if (current < 1 || !hasItem(lists, current)) return false;
    const auto p = static_cast<std::size_t>(current);
    std::swap(lists.titles[p], lists.titles[p - 1]);
    std::swap(lists.keyCodes[p], lists.keyCodes[p - 1]);
    return true;
}

// From the bottom up, so that the positions still to be removed stay valid.
void deleteItems(storage::ItemLists& lists, std::vector<int> highlighted) {
    std::sort(highlighted.begin(), highlighted.end(), std::greater<>());
    highlighted.erase(std::unique(highlighted.begin(), highlighted.end()), highlighted.end());
    for (int position : highlighted) {
        if (!hasItem(lists, position)) continue;
        lists.titles.erase(lists.titles.begin() + position);
        lists.keyCodes.erase(lists.keyCodes.begin() + position);
    }
}

void insertSeparator(storage::ItemLists& lists, int current) {
    const std::size_t end = std::min(lists.titles.size(), lists.keyCodes.size());
    const auto position = static_cast<std::ptrdiff_t>(
        current < 0 ? 0 : std::min(end, static_cast<std::size_t>(current)));
    lists.titles.insert(lists.titles.begin() + position, kSeparatorTitle);
    lists.keyCodes.insert(lists.keyCodes.begin() + position, std::string());
}

}  // namespace item_commands
