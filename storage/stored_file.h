// The program's own files on disk: encrypted with the file key, read and
// decrypted in memory, and written encrypted in one replacing move, so that
// their plain content never lies in the program's folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/crypto.h"
#include "platform/file_system.h"
#include "storage/line_file.h"

namespace storage {

// The classic format: the file cipher with the file key. The strong format:
// AES-256-GCM under a random data key that the start-up password wraps (see
// storage/strong_file.h).
enum class StoredFormat { Classic, Strong };

// PBKDF2 iterations of the key that the start-up password makes.
inline constexpr std::uint32_t kStrongIterations = 600000;

// How this run reads and writes stored files.
struct Sealing {
    StoredFormat format = StoredFormat::Classic;
    // Strong: the data key; none while it is not unlocked, and then no file
    // is read or written.
    const platform::SecretBytes* dataKey = nullptr;
    // Strong, the settings file only: the wrapped data key its header holds.
    std::string keyBlock;

    static Sealing strong(const platform::SecretBytes* dataKey) {
        Sealing sealing;
        sealing.format = StoredFormat::Strong;
        sealing.dataKey = dataKey;
        return sealing;
    }
};

// No stored file is larger: one that is is not taken for data, and none is
// written that could not be read back.
inline constexpr std::int64_t kLargestStoredFile = 1 << 20;

// Whether a stored file without content is data (a group of no items) or is
// unreadable (the settings, which the program never writes empty).
enum class WhenEmpty { Readable, Unreadable };

// Reads a stored file and gives its plain content. Classic: a file that
// begins with the lock marker is decrypted with the file key or refused; one
// without it is taken as a plain line file left by an earlier version only if
// it could be one: it holds no NUL byte. Strong: only a file in the strong
// format, sealed under the data key for this file's name, is read. Throws
// FileError (CannotOpen) for any other file, and when it cannot be opened or
// read in full or is larger than kLargestStoredFile.
std::string readStoredFile(platform::FileSystem& fs, const platform::Path& path,
                           WhenEmpty empty = WhenEmpty::Readable, const Sealing& sealing = {});
Lines readStoredLines(platform::FileSystem& fs, const platform::Path& path,
                      WhenEmpty empty = WhenEmpty::Readable, const Sealing& sealing = {});

// What the stored file `path` of these lines holds: encrypted with the file
// key or sealed, the header carrying the date.
std::string storedBytes(const Lines& lines, std::uint32_t dosTime, const Sealing& sealing = {},
                        const platform::Path& path = {});
// Whether these lines make a stored file within kLargestStoredFile.
bool fitsInStoredFile(const Lines& lines, const Sealing& sealing = {});

// Whether a stored file holds these lines encrypted (not plain). Throws
// FileError (CannotOpen) as readStoredFile does, when it exists.
bool holdsEncrypted(platform::FileSystem& fs, const platform::Path& path, const Lines& lines,
                    const Sealing& sealing = {});

// Writes a stored file in one replacing move. Throws FileError (CannotCreate),
// leaving the old file as it was.
void writeStoredFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines,
                     const Sealing& sealing = {});

// Writes two stored files that belong together, first then second: either
// both change or, when a step fails, both keep their old content. Both
// replacements are written and flushed beside the files, then a proof of
// their lengths and checksums, and only then do they move into place, so that
// a write cut off by a kill is either not seen or finished by the next read.
// Throws FileError (CannotCreate) naming the file that failed; a first file
// that exists but cannot be read is not replaced, as it could not be put back.
void writeStoredPair(platform::FileSystem& fs, const platform::Path& first, const Lines& firstLines,
                     const platform::Path& second, const Lines& secondLines,
                     const Sealing& sealing = {});

// One file of a write of several files together: its new bytes, or none when
// the write leaves it as it is.
struct Replacement {
    platform::Path path;
    std::optional<std::string> bytes;
};

// Writes files together as writeStoredPair does, with the proof at
// `proofPath`: all or none of them change. Throws FileError (CannotCreate)
// naming the file that failed.
void writeTogether(platform::FileSystem& fs, const platform::Path& proofPath,
                   const std::vector<Replacement>& files);

// Finishes a write of `files` together whose proof at `proofPath` holds (see
// finishInterruptedPair); one that is not proven is rolled back: the proof and
// the replacements are removed. Throws FileError (CannotOpen) naming the file
// that could not be replaced.
void settleWriteTogether(platform::FileSystem& fs, const platform::Path& proofPath,
                         const std::vector<platform::Path>& files);

// The proof that a pair write beside `first` was complete: `<stem>.$ok`.
platform::Path pairProofPath(const platform::Path& first);

// Whether a pair write is proven complete and still has a replacement waiting.
bool pairWriteWaits(platform::FileSystem& fs, const platform::Path& first,
                    const platform::Path& second);

// Finishes a pair write whose proof holds: moves the replacements still
// waiting into place, then removes the proof. A replacement without a proof
// that holds is never moved. Throws FileError (CannotOpen) naming the file
// that could not be replaced; its replacement and the proof stay for the
// next read.
void finishInterruptedPair(platform::FileSystem& fs, const platform::Path& first,
                           const platform::Path& second);

}  // namespace storage
