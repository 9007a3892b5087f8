#include "storage/group_rules.h"

#include <algorithm>
#include <string_view>

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

// Names compared as Windows compares the program's names: ASCII letters in
// any case.
platform::Path::string_type folded(const platform::Path& path) {
    platform::Path::string_type text = path.native();
    for (auto& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<platform::Path::value_type>(c - 'A' + 'a');
    }
    return text;
}

bool hasAffixes(const platform::Path::string_type& name, std::string_view prefix,
                std::string_view suffix) {
    const auto matches = [&](std::size_t at, std::string_view part) {
        return std::equal(part.begin(), part.end(), name.begin() + at);
    };
    return name.size() >= prefix.size() + suffix.size() && matches(0, prefix) &&
           matches(name.size() - suffix.size(), suffix);
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
    // Refused now rather than when the group is stored: a stored file too
    // large to read back would lock the group out.
    if (!fitsInStoredFile(lists.titles)) raiseCannotOpen(titleFile);
    if (!fitsInStoredFile(lists.keyCodes)) raiseCannotOpen(keyCodeFile);
    return lists;
}

bool isProgramFile(const platform::Path& file, const platform::Path& programFolder) {
    const platform::Path normal = file.lexically_normal();
    const platform::Path folder = (programFolder / "").lexically_normal().parent_path();
    if (folded(normal.parent_path()) != folded(folder)) return false;
    const auto name = folded(normal.filename());
    return hasAffixes(name, "defpt", ".ini") || hasAffixes(name, "defpt", ".bak") ||
           hasAffixes(name, "", ".exe");
}

void writeExportedPair(platform::FileSystem& fs, const platform::Path& chosen,
                       const ItemLists& lists) {
    writeLineFile(fs, exportedTitlePath(chosen), lists.titles);
    writeLineFile(fs, exportedKeyCodePath(chosen), lists.keyCodes);
}

}  // namespace storage
