// Line files: lines of code page 932 text kept byte for byte, CR LF after
// every line when written; CR LF, lone CR and lone LF all end a line when read,
// a last line without terminator is still a line and a 0x00 byte ends the text.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace storage {

using Lines = std::vector<std::string>;

Lines splitLines(std::string_view bytes);
std::string joinLines(const Lines& lines);

// Reads a whole file of at most `largest` bytes; nullopt when it cannot be
// opened, is larger, or gives fewer bytes than its size.
std::optional<std::string> readWholeFile(
    platform::FileSystem& fs, const platform::Path& path,
    std::int64_t largest = std::numeric_limits<std::int64_t>::max());

// Reads a whole file; throws FileError (CannotOpen) when it cannot be read.
std::string readFileBytes(platform::FileSystem& fs, const platform::Path& path);

// Reads a whole line file; throws FileError (CannotOpen) when it cannot be read.
Lines readLineFile(platform::FileSystem& fs, const platform::Path& path);

// Writes a line file so that the path holds either its old or its complete new
// content at every moment; throws FileError (CannotCreate) on failure, leaving
// the old content in place.
void writeLineFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines);

// The two steps of such a write, for callers that replace files together:
// the bytes go to the temporary file `<stem>.$$$`, flushed, which then
// replaces the path in one move. Both return false on failure, with the
// temporary file removed and the path as it was.
bool prepareReplacement(platform::FileSystem& fs, const platform::Path& path,
                        const std::string& bytes);
bool completeReplacement(platform::FileSystem& fs, const platform::Path& path);
// Removes a prepared temporary file that is not to be used.
void abandonReplacement(platform::FileSystem& fs, const platform::Path& path);
// Both steps at once.
bool replaceWholeFile(platform::FileSystem& fs, const platform::Path& path,
                      const std::string& bytes);

}  // namespace storage
