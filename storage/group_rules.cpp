#include "storage/group_rules.h"

#include "storage/errors.h"
#include "storage/line_file.h"
#include "storage/stored_file.h"

namespace storage {

namespace {
platform::Path appended(const platform::Path& path, const char* suffix) {
    platform::Path::string_type text = path.native();
    for (const char* c = suffix; *c; ++c) text += static_cast<platform::Path::value_type>(*c);
    return platform::Path(text);
}

// A chosen file may be anything; one far larger than any group is no pair.
Lines readBoundedLines(platform::FileSystem& fs, const platform::Path& path) {
    const std::optional<std::string> bytes = readWholeFile(fs, path, kLargestStoredFile);
    if (!bytes) raiseCannotOpen(path);
    return splitLines(*bytes);
}
}  // namespace

int nextGroup(int group) {
    return group % kGroupCount + 1;
}

int previousGroup(int group) {
    return (group + kGroupCount - 2) % kGroupCount + 1;
}

platform::Path exportedTitlePath(const platform::Path& chosen) {
    return appended(chosen, ".ini");
}

platform::Path exportedKeyCodePath(const platform::Path& chosen) {
    return appended(chosen, "_k.ini");
}

platform::Path importedKeyCodePath(const platform::Path& chosenTitleFile) {
    platform::Path::string_type base = chosenTitleFile.native();
    base.erase(base.size() >= 4 ? base.size() - 4 : 0);
    return appended(platform::Path(base), "_k.ini");
}

ItemLists readExportedPair(platform::FileSystem& fs, const platform::Path& titleFile,
                           const platform::Path& keyCodeFile) {
    ItemLists lists{readBoundedLines(fs, titleFile), readBoundedLines(fs, keyCodeFile)};
    padToSameLength(lists);
    return lists;
}

void writeExportedPair(platform::FileSystem& fs, const platform::Path& chosen,
                       const ItemLists& lists) {
    writeLineFile(fs, exportedTitlePath(chosen), lists.titles);
    writeLineFile(fs, exportedKeyCodePath(chosen), lists.keyCodes);
}

}  // namespace storage
