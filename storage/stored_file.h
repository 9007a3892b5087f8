// The program's own files on disk: encrypted with the file key, read and
// decrypted in memory, and written encrypted in one replacing move, so that
// their plain content never lies in the program's folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "storage/line_file.h"

namespace storage {

// No file of the program comes near this; a larger one is not taken for data.
inline constexpr std::int64_t kLargestStoredFile = 1 << 20;

// Reads a stored file and gives its plain content: decrypted when it carries a
// lock header with the file key, as it stands when it carries none (a file
// left plain by an earlier version). Throws FileError (CannotOpen) when it
// cannot be opened or read in full, is larger than kLargestStoredFile, is
// locked with another key or is cut short inside its lock header.
std::string readStoredFile(platform::FileSystem& fs, const platform::Path& path);
Lines readStoredLines(platform::FileSystem& fs, const platform::Path& path);

// What a stored file of these lines holds: encrypted with the file key, the
// header carrying the date.
std::string storedBytes(const Lines& lines, std::uint32_t dosTime);

// Whether a stored file holds these lines encrypted with the file key. Throws
// FileError (CannotOpen) as readStoredFile does, when it exists.
bool holdsEncrypted(platform::FileSystem& fs, const platform::Path& path, const Lines& lines);

// Writes a stored file in one replacing move. Throws FileError (CannotCreate),
// leaving the old file as it was.
void writeStoredFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines);

// Writes two stored files that belong together, first then second: either
// both change or, when a step fails, both keep their old content. Throws
// FileError (CannotCreate) naming the file that failed; a first file that
// exists but cannot be read is not replaced, as it could not be put back.
void writeStoredPair(platform::FileSystem& fs, const platform::Path& first, const Lines& firstLines,
                     const platform::Path& second, const Lines& secondLines);

// Finishes a pair write that was cut off between its two moves: the second
// file's replacement is still waiting beside it, dated as the first file it
// belongs to, while the first file's own has gone into place. Without this the
// pair would no longer match line for line. Anything else is left alone.
void finishInterruptedPair(platform::FileSystem& fs, const platform::Path& first,
                           const platform::Path& second);

}  // namespace storage
