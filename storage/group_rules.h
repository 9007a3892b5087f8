// How the groups follow each other on the "<" and ">" buttons, and how the
// exported pair of a display group is named.
#pragma once

#include "platform/file_system.h"
#include "storage/program_files.h"

namespace storage {

// 1 → 2 → 3 → 1 for ">", the other way round for "<".
int nextGroup(int group);
int previousGroup(int group);

// Export appends to the name as chosen: "<name>.ini" and "<name>_k.ini".
platform::Path exportedTitlePath(const platform::Path& chosen);
platform::Path exportedKeyCodePath(const platform::Path& chosen);

// Import takes the chosen title file, drops its last four characters (the
// ".ini" the filter offers) and adds "_k.ini", so that a pair exported under
// any name is found again from its title file.
platform::Path importedKeyCodePath(const platform::Path& chosenTitleFile);

// Reads an exported pair as plain text; the shorter list is padded with empty
// lines. Throws FileError (CannotOpen) naming a file that cannot be read, or
// whose list would not fit in a stored file (kLargestStoredFile).
ItemLists readExportedPair(platform::FileSystem& fs, const platform::Path& titleFile,
                           const platform::Path& keyCodeFile);
// Whether a file is one export must never write over: a file of the program
// in its folder (defpt*.ini, defpt*.bak, the program itself), its letters in
// any case, as Windows finds it.
bool isProgramFile(const platform::Path& file, const platform::Path& programFolder);

// Writes an exported pair as plain text. Throws FileError (CannotCreate).
void writeExportedPair(platform::FileSystem& fs, const platform::Path& chosen,
                       const ItemLists& lists);

}  // namespace storage
