#include "storage/stored_file.h"

#include <string_view>
#include <utility>
#include <vector>

#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/strong_file.h"

namespace storage {
namespace {

// Length and checksum of one replacement, as 32 hexadecimal digits; the proof
// of files written together is one for each file in their order (first file
// first for a pair), or kLeftAlone for a file that the write leaves as it is.
constexpr std::size_t kFingerprintSize = 32;
constexpr std::string_view kLeftAlone = "--------------------------------";

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
// nothing when they are no data of the program in this run's format.
std::optional<std::string> storedContent(std::string_view bytes, WhenEmpty empty,
                                         const Sealing& sealing, const platform::Path& path) {
    std::string content;
    if (sealing.format == StoredFormat::Strong) {
        if (!sealing.dataKey) return std::nullopt;
        std::optional<std::string> opened = strongContent(bytes, *sealing.dataKey, path);
        if (!opened) return std::nullopt;
        content = std::move(*opened);
    } else if (beginsLikeLockMarker(bytes)) {
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

// The files written together whose replacement is proven complete and waits,
// in their order; nothing when there is no proof or it is of another write.
std::optional<std::vector<platform::Path>> provenMoves(platform::FileSystem& fs,
                                                       const platform::Path& proofPath,
                                                       const std::vector<platform::Path>& files) {
    if (!fs.exists(proofPath)) return std::nullopt;
    const std::string proof = readBoundedBytes(fs, proofPath);
    if (proof.size() != files.size() * kFingerprintSize) return std::nullopt;  // cut off
    std::vector<platform::Path> moves;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string expected = proof.substr(i * kFingerprintSize, kFingerprintSize);
        if (expected == kLeftAlone) continue;
        if (fingerprintOf(fs, replacementPath(files[i])) == expected) {
            moves.push_back(files[i]);
        } else if (fingerprintOf(fs, files[i]) != expected) {
            return std::nullopt;
        }
    }
    return moves;
}

void abandonReplacements(platform::FileSystem& fs, const std::vector<Replacement>& files) {
    for (const Replacement& file : files) {
        if (file.bytes) abandonReplacement(fs, file.path);
    }
}

// Removes a write together that is not to be finished: the proof last, as
// without its replacements it holds no longer, and a kill meanwhile leaves
// what is left to be rolled back.
void abandonWrite(platform::FileSystem& fs, const platform::Path& proofPath,
                  const std::vector<Replacement>& files) {
    abandonReplacements(fs, files);
    fs.remove(proofPath);
}

// Writes a new file and closes it, so that it can be moved.
bool writeFlushed(platform::FileSystem& fs, const platform::Path& path, const std::string& bytes) {
    const std::unique_ptr<platform::OutputFile> output = fs.createFile(path);
    return output && output->write(bytes.data(), bytes.size()) && output->flush();
}

platform::Path putBackPath(const platform::Path& path) {
    return withExtension(path, ".$bk");
}

// Puts back what the files that moved before `failed` held: their old bytes,
// or no file. Each first gets its replacement back, so that the proof holds
// throughout and a kill meanwhile finishes the write at the next read.
bool putBackMoved(platform::FileSystem& fs, const std::vector<Replacement>& files,
                  const std::vector<std::optional<std::string>>& before, std::size_t failed) {
    for (std::size_t j = failed; j-- > 0;) {
        const platform::Path& path = files[j].path;
        if (!files[j].bytes) continue;
        if (!prepareReplacement(fs, path, *files[j].bytes)) return false;
        if (!before[j]) {
            if (!fs.remove(path)) return false;
            continue;
        }
        if (!writeFlushed(fs, putBackPath(path), *before[j]) ||
            !fs.replace(putBackPath(path), path))
            return false;
    }
    return true;
}

// Removes the temporary files of a write of `path` that was settled.
void removeLeftovers(platform::FileSystem& fs, const platform::Path& path) {
    if (fs.exists(replacementPath(path))) abandonReplacement(fs, path);
    if (fs.exists(putBackPath(path))) fs.remove(putBackPath(path));
}

// Moves the replacements that wait, then removes the proof; a file that
// cannot be replaced keeps its replacement and the proof for the next read.
void finishProven(platform::FileSystem& fs, const platform::Path& proofPath,
                  const std::vector<platform::Path>& files,
                  const std::vector<platform::Path>& moves) {
    for (const platform::Path& path : moves) {
        if (!fs.replace(replacementPath(path), path)) raiseCannotOpen(path);
    }
    // A replacement still there was cut off while a put-back wrote it.
    for (const platform::Path& path : files) removeLeftovers(fs, path);
    fs.remove(proofPath);
}

bool writeProof(platform::FileSystem& fs, const platform::Path& proofPath,
                const std::vector<Replacement>& files) {
    std::string proof;
    for (const Replacement& file : files) {
        proof += file.bytes ? fingerprint(*file.bytes) : std::string(kLeftAlone);
    }
    return writeFlushed(fs, proofPath, proof);
}

std::vector<platform::Path> pairOf(const platform::Path& first, const platform::Path& second) {
    return {first, second};
}

}  // namespace

std::string readStoredFile(platform::FileSystem& fs, const platform::Path& path, WhenEmpty empty,
                           const Sealing& sealing) {
    std::optional<std::string> content =
        storedContent(readBoundedBytes(fs, path), empty, sealing, path);
    if (!content) {
        raiseCannotOpen(path);
    }
    return std::move(*content);
}

Lines readStoredLines(platform::FileSystem& fs, const platform::Path& path, WhenEmpty empty,
                      const Sealing& sealing) {
    return splitLines(readStoredFile(fs, path, empty, sealing));
}

std::string storedBytes(const Lines& lines, std::uint32_t dosTime, const Sealing& sealing,
                        const platform::Path& path) {
    if (sealing.format == StoredFormat::Classic) {
        return encryptedBytes(joinLines(lines), kFileKey, dosTime);
    }
    if (!sealing.dataKey) raiseCannotCreate(path);
    std::string content = joinLines(lines);
    std::string bytes = strongBytes(content, *sealing.dataKey, path, sealing.keyBlock, dosTime);
    platform::wipe(content.data(), content.size());
    return bytes;
}

bool fitsInStoredFile(const Lines& lines, const Sealing& sealing) {
    const std::size_t overhead =
        sealing.format == StoredFormat::Strong ? kStrongOverhead : kLockHeaderSize;
    return static_cast<std::int64_t>(joinLines(lines).size() + overhead) <= kLargestStoredFile;
}

bool holdsEncrypted(platform::FileSystem& fs, const platform::Path& path, const Lines& lines,
                    const Sealing& sealing) {
    if (!fs.exists(path)) {
        return false;
    }
    const std::string bytes = readBoundedBytes(fs, path);
    const std::optional<std::string> content =
        storedContent(bytes, WhenEmpty::Readable, sealing, path);
    if (!content) {
        raiseCannotOpen(path);
    }
    return carriesLockHeader(bytes) && *content == joinLines(lines);
}

void writeStoredFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines,
                     const Sealing& sealing) {
    if (!fitsInStoredFile(lines, sealing) ||
        !replaceWholeFile(fs, path, storedBytes(lines, fs.nowDosTime(), sealing, path))) {
        raiseCannotCreate(path);
    }
}

void writeStoredPair(platform::FileSystem& fs, const platform::Path& first, const Lines& firstLines,
                     const platform::Path& second, const Lines& secondLines,
                     const Sealing& sealing) {
    if (!fitsInStoredFile(firstLines, sealing)) raiseCannotCreate(first);
    if (!fitsInStoredFile(secondLines, sealing)) raiseCannotCreate(second);
    const std::uint32_t now = fs.nowDosTime();
    writeTogether(fs, pairProofPath(first),
                  {{first, storedBytes(firstLines, now, sealing, first)},
                   {second, storedBytes(secondLines, now, sealing, second)}});
}

// The old bytes of the files stay in memory until the last has followed, so
// that a later one failing can put the earlier ones back. The proof is
// removed only once the files are whole again, old or new: a kill at any step
// leaves either no proof that holds or one that finishes the write.
void writeTogether(platform::FileSystem& fs, const platform::Path& proofPath,
                   const std::vector<Replacement>& files) {
    std::size_t last = 0;  // the last file that moves is never put back
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].bytes) last = i;
    }
    std::vector<std::optional<std::string>> before(files.size());
    for (std::size_t i = 0; i < last; ++i) {
        if (!files[i].bytes || !fs.exists(files[i].path)) continue;
        before[i] = readWholeFile(fs, files[i].path, kLargestStoredFile);
        if (!before[i]) raiseCannotCreate(files[i].path);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].bytes && !prepareReplacement(fs, files[i].path, *files[i].bytes)) {
            abandonReplacements(fs, files);
            raiseCannotCreate(files[i].path);
        }
    }
    if (!writeProof(fs, proofPath, files)) {
        abandonWrite(fs, proofPath, files);
        raiseCannotCreate(files.front().path);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].bytes || fs.replace(replacementPath(files[i].path), files[i].path)) continue;
        if (putBackMoved(fs, files, before, i)) abandonWrite(fs, proofPath, files);
        raiseCannotCreate(files[i].path);
    }
    fs.remove(proofPath);
}

void settleWriteTogether(platform::FileSystem& fs, const platform::Path& proofPath,
                         const std::vector<platform::Path>& files) {
    if (!fs.exists(proofPath)) return;
    const auto moves = provenMoves(fs, proofPath, files);
    if (moves) {
        finishProven(fs, proofPath, files, *moves);
        return;
    }
    // The proof last, so that a kill meanwhile leaves the rollback to finish.
    for (const platform::Path& path : files) removeLeftovers(fs, path);
    fs.remove(proofPath);
}

platform::Path pairProofPath(const platform::Path& first) {
    return withExtension(first, ".$ok");
}

bool pairWriteWaits(platform::FileSystem& fs, const platform::Path& first,
                    const platform::Path& second) {
    const auto moves = provenMoves(fs, pairProofPath(first), pairOf(first, second));
    return moves && !moves->empty();
}

void finishInterruptedPair(platform::FileSystem& fs, const platform::Path& first,
                           const platform::Path& second) {
    const auto moves = provenMoves(fs, pairProofPath(first), pairOf(first, second));
    if (moves) finishProven(fs, pairProofPath(first), pairOf(first, second), *moves);
}

}  // namespace storage
