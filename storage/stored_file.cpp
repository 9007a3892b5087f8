#include "storage/stored_file.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/cryptogram.h"
#include "storage/errors.h"

namespace storage {
namespace {

// Length and checksum of one replacement, as 32 hexadecimal digits; the proof
// of a pair is the two of them, first file first.
constexpr std::size_t kFingerprintSize = 32;

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

// What a stored file is, in one place: the plain content of its bytes, or
// nothing when they are no data of the program.
std::optional<std::string> storedContent(std::string_view bytes, WhenEmpty empty) {
    std::string content;
    if (beginsLikeLockMarker(bytes)) {
        if (bytes.size() < kLockHeaderSize ||
            readLockHeader(reinterpret_cast<const unsigned char*>(bytes.data())).key != kFileKey) {
            return std::nullopt;
        }
        content = decryptedPayload(bytes, kFileKey);
    } else if (bytes.find('\0') == std::string_view::npos) {
        // A line file of the program never holds a NUL; a damaged lock
        // header always does.
        content = bytes;
    } else {
        return std::nullopt;
    }
    if (content.empty() && empty == WhenEmpty::Unreadable) {
        return std::nullopt;
    }
    return content;
}

void appendHex(std::string& text, std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
}

// FNV-1a: enough to tell a complete replacement from a cut or stale one.
std::string fingerprint(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3u;
    }
    std::string text;
    appendHex(text, bytes.size());
    appendHex(text, hash);
    return text;
}

// The fingerprint of a file, nothing when there is none. A file that is there
// but cannot be read throws FileError (CannotOpen): no proof can be judged
// without it.
std::optional<std::string> fingerprintOf(platform::FileSystem& fs, const platform::Path& path) {
    if (!fs.exists(path)) return std::nullopt;
    return fingerprint(readBoundedBytes(fs, path));
}

platform::Path replacementPath(const platform::Path& path) {
    return withExtension(path, ".$$$");
}

// The files of the pair whose replacement is proven complete and waits, first
// file first; nothing when there is no proof or it is of another write.
std::optional<std::vector<platform::Path>> provenMoves(platform::FileSystem& fs,
                                                       const platform::Path& first,
                                                       const platform::Path& second) {
    const platform::Path proofPath = pairProofPath(first);
    if (!fs.exists(proofPath)) return std::nullopt;
    const std::string proof = readBoundedBytes(fs, proofPath);
    if (proof.size() != 2 * kFingerprintSize) return std::nullopt;  // cut off while written
    std::vector<platform::Path> moves;
    const std::array<platform::Path, 2> pair{first, second};
    for (std::size_t i = 0; i < pair.size(); ++i) {
        const std::string expected = proof.substr(i * kFingerprintSize, kFingerprintSize);
        if (fingerprintOf(fs, replacementPath(pair[i])) == expected) {
            moves.push_back(pair[i]);
        } else if (fingerprintOf(fs, pair[i]) != expected) {
            return std::nullopt;
        }
    }
    return moves;
}

// Removes a pair write that is not to be finished: the proof first, so that
// no proof is left holding with a replacement gone.
void abandonPair(platform::FileSystem& fs, const platform::Path& first,
                 const platform::Path& second) {
    fs.remove(pairProofPath(first));
    abandonReplacement(fs, first);
    abandonReplacement(fs, second);
}

// Puts back what a file held before a write: its old bytes, or no file.
bool putBack(platform::FileSystem& fs, const platform::Path& path,
             const std::optional<std::string>& before) {
    return before ? replaceWholeFile(fs, path, *before) : fs.remove(path);
}

bool writeProof(platform::FileSystem& fs, const platform::Path& first, const std::string& proof) {
    const std::unique_ptr<platform::OutputFile> output = fs.createFile(pairProofPath(first));
    return output && output->write(proof.data(), proof.size()) && output->flush();
}

}  // namespace

std::string readStoredFile(platform::FileSystem& fs, const platform::Path& path, WhenEmpty empty) {
    std::optional<std::string> content = storedContent(readBoundedBytes(fs, path), empty);
    if (!content) {
        raiseCannotOpen(path);
    }
    return std::move(*content);
}

Lines readStoredLines(platform::FileSystem& fs, const platform::Path& path, WhenEmpty empty) {
    return splitLines(readStoredFile(fs, path, empty));
}

std::string storedBytes(const Lines& lines, std::uint32_t dosTime) {
    return encryptedBytes(joinLines(lines), kFileKey, dosTime);
}

bool fitsInStoredFile(const Lines& lines) {
    return static_cast<std::int64_t>(storedBytes(lines, 0).size()) <= kLargestStoredFile;
}

bool holdsEncrypted(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    if (!fs.exists(path)) {
        return false;
    }
    const std::string bytes = readBoundedBytes(fs, path);
    const std::optional<std::string> content = storedContent(bytes, WhenEmpty::Readable);
    if (!content) {
        raiseCannotOpen(path);
    }
    return carriesLockHeader(bytes) && *content == joinLines(lines);
}

void writeStoredFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    if (!fitsInStoredFile(lines) ||
        !replaceWholeFile(fs, path, storedBytes(lines, fs.nowDosTime()))) {
        raiseCannotCreate(path);
    }
}

// The first file's old bytes stay in memory until the second has followed
// it, so that the second failing can put the first back. The proof is
// removed only once the pair is whole again, old or new: a kill at any step
// leaves either no proof that holds or one that finishes the write.
void writeStoredPair(platform::FileSystem& fs, const platform::Path& first, const Lines& firstLines,
                     const platform::Path& second, const Lines& secondLines) {
    if (!fitsInStoredFile(firstLines)) raiseCannotCreate(first);
    if (!fitsInStoredFile(secondLines)) raiseCannotCreate(second);
    std::optional<std::string> firstBefore;
    if (fs.exists(first)) {
        firstBefore = readWholeFile(fs, first, kLargestStoredFile);
        if (!firstBefore) raiseCannotCreate(first);
    }
    const std::uint32_t now = fs.nowDosTime();
    const std::string firstBytes = storedBytes(firstLines, now);
    const std::string secondBytes = storedBytes(secondLines, now);
    if (!prepareReplacement(fs, first, firstBytes)) {
        raiseCannotCreate(first);
    }
    if (!prepareReplacement(fs, second, secondBytes)) {
        abandonReplacement(fs, first);
        raiseCannotCreate(second);
    }
    if (!writeProof(fs, first, fingerprint(firstBytes) + fingerprint(secondBytes))) {
        abandonPair(fs, first, second);
        raiseCannotCreate(first);
    }
    if (!fs.replace(replacementPath(first), first)) {
        abandonPair(fs, first, second);
        raiseCannotCreate(first);
    }
    if (!fs.replace(replacementPath(second), second)) {
        if (putBack(fs, first, firstBefore)) abandonPair(fs, first, second);
        raiseCannotCreate(second);
    }
    fs.remove(pairProofPath(first));
}

platform::Path pairProofPath(const platform::Path& first) {
    return withExtension(first, ".$ok");
}

bool pairWriteWaits(platform::FileSystem& fs, const platform::Path& first,
                    const platform::Path& second) {
    const auto moves = provenMoves(fs, first, second);
    return moves && !moves->empty();
}

void finishInterruptedPair(platform::FileSystem& fs, const platform::Path& first,
                           const platform::Path& second) {
    const auto moves = provenMoves(fs, first, second);
    if (!moves) return;
    for (const platform::Path& path : *moves) {
        if (!fs.replace(replacementPath(path), path)) raiseCannotOpen(path);
    }
    fs.remove(pairProofPath(first));
}

}  // namespace storage
