// Line files: lines of code page 932 text kept byte for byte, CR LF after
// every line when written; CR LF, lone CR and lone LF all end a line when read,
// a last line without terminator is still a line and a 0x00 byte ends the text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace storage {

using Lines = std::vector<std::string>;

Lines splitLines(std::string_view bytes);
std::string joinLines(const Lines& lines);

// Reads a whole file; throws FileError (CannotOpen) when it cannot be read.
std::string readFileBytes(platform::FileSystem& fs, const platform::Path& path);

// Reads a whole line file; throws FileError (CannotOpen) when it cannot be read.
Lines readLineFile(platform::FileSystem& fs, const platform::Path& path);

// Writes a line file so that the path holds either its old or its complete new
// content at every moment; throws FileError (CannotCreate) on failure, leaving
// the old content in place.
void writeLineFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines);

}  // namespace storage
