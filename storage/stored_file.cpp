#include "storage/stored_file.h"

#include <string_view>
#include <utility>

#include "storage/cryptogram.h"
#include "storage/errors.h"

namespace storage {
namespace {

std::string readBoundedBytes(platform::FileSystem& fs, const platform::Path& path) {
    std::optional<std::string> bytes = readWholeFile(fs, path, kLargestStoredFile);
    if (!bytes) {
        raiseCannotOpen(path);
    }
    return std::move(*bytes);
}

bool carriesLockHeader(std::string_view bytes) {
    return bytes.size() >= kLockHeaderSize &&
           readLockHeader(reinterpret_cast<const unsigned char*>(bytes.data())).valid;
}

// The plain content of a stored file's bytes; nullopt for no data of the program.
std::optional<std::string> storedContent(std::string_view bytes) {
    if (bytes.size() < kLockHeaderSize) {
        if (beginsLikeLockMarker(bytes)) {
            return std::nullopt;
        }
        return std::string(bytes);
    }
    const LockHeader header = readLockHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
    if (!header.valid) {
        return std::string(bytes);
    }
    if (header.key != kFileKey) {
        return std::nullopt;
    }
    return decryptedPayload(bytes, kFileKey);
}

// Puts back what a file held before a write: its old bytes, or no file.
void putBack(platform::FileSystem& fs, const platform::Path& path,
             const std::optional<std::string>& before) {
    if (before) {
        replaceWholeFile(fs, path, *before);
    } else {
        fs.remove(path);
    }
}

// The date in the lock header of a file of the program's key; nothing for any
// other file.
std::optional<std::uint32_t> keyedDate(platform::FileSystem& fs, const platform::Path& path) {
    const std::optional<std::string> bytes = readWholeFile(fs, path, kLargestStoredFile);
    if (!bytes || !carriesLockHeader(*bytes)) {
        return std::nullopt;
    }
    const LockHeader header = readLockHeader(reinterpret_cast<const unsigned char*>(bytes->data()));
    if (header.key != kFileKey) {
        return std::nullopt;
    }
    return header.dosTime;
}

}  // namespace

std::string readStoredFile(platform::FileSystem& fs, const platform::Path& path) {
    std::optional<std::string> content = storedContent(readBoundedBytes(fs, path));
    if (!content) {
        raiseCannotOpen(path);
    }
    return std::move(*content);
}

Lines readStoredLines(platform::FileSystem& fs, const platform::Path& path) {
    return splitLines(readStoredFile(fs, path));
}

std::string storedBytes(const Lines& lines, std::uint32_t dosTime) {
    return encryptedBytes(joinLines(lines), kFileKey, dosTime);
}

bool holdsEncrypted(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    if (!fs.exists(path)) {
        return false;
    }
    const std::string bytes = readBoundedBytes(fs, path);
    const std::optional<std::string> content = storedContent(bytes);
    if (!content) {
        raiseCannotOpen(path);
    }
    return carriesLockHeader(bytes) && *content == joinLines(lines);
}

void writeStoredFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    if (!replaceWholeFile(fs, path, storedBytes(lines, fs.nowDosTime()))) {
        raiseCannotCreate(path);
    }
}

// Both files are prepared before either is replaced, and the first file's old
// bytes stay in memory until the second has followed it, so that the second
// failing can put the first back.
void writeStoredPair(platform::FileSystem& fs, const platform::Path& first, const Lines& firstLines,
                     const platform::Path& second, const Lines& secondLines) {
    std::optional<std::string> firstBefore;
    if (fs.exists(first)) {
        firstBefore = readWholeFile(fs, first, kLargestStoredFile);
        if (!firstBefore) {
            raiseCannotCreate(first);
        }
    }
    const std::uint32_t now = fs.nowDosTime();
    if (!prepareReplacement(fs, first, storedBytes(firstLines, now))) {
        raiseCannotCreate(first);
    }
    if (!prepareReplacement(fs, second, storedBytes(secondLines, now))) {
        abandonReplacement(fs, first);
        raiseCannotCreate(second);
    }
    if (!completeReplacement(fs, first)) {
        abandonReplacement(fs, second);
        raiseCannotCreate(first);
    }
    if (!completeReplacement(fs, second)) {
        putBack(fs, first, firstBefore);
        raiseCannotCreate(second);
    }
}

void finishInterruptedPair(platform::FileSystem& fs, const platform::Path& first,
                           const platform::Path& second) {
    const platform::Path waiting = withExtension(second, ".$$$");
    if (!fs.exists(waiting) || fs.exists(withExtension(first, ".$$$")) || !fs.exists(first)) {
        return;
    }
    const std::optional<std::uint32_t> firstDate = keyedDate(fs, first);
    if (firstDate && keyedDate(fs, waiting) == firstDate) {
        fs.replace(waiting, second);
    }
}

}  // namespace storage
