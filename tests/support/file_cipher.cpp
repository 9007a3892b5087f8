#include "tests/support/file_cipher.h"

#include <algorithm>
#include <array>
#include <memory>

namespace test_support {

using storage::kCipherBlockSize;
using storage::kLockHeaderSize;
using storage::LockHeader;
using storage::readLockHeader;
using storage::withExtension;
using storage::writeLockHeader;
using storage::xorWithKey;

namespace {

// Shorter inputs are refused by decryption; 35 to 43 bytes still pass.
constexpr std::int64_t kShortestLockedFile = 35;

using Block = std::array<unsigned char, kCipherBlockSize>;

// Copies `count` bytes from input to output in blocks, each XOR-ed with the key
// from key position 0. Fails on a short read or a failed write, so that a file
// that changed size meanwhile never turns into a truncated result.
bool transformBlocks(platform::InputFile& input, platform::OutputFile& output, std::int64_t count,
                     const std::string& key, Block& block) {
    while (count > 0) {
        const std::size_t length =
            static_cast<std::size_t>(std::min<std::int64_t>(count, kCipherBlockSize));
        if (input.read(block.data(), length) != length) {
            return false;
        }
        xorWithKey(block.data(), length, key);
        if (!output.write(block.data(), length)) {
            return false;
        }
        count -= static_cast<std::int64_t>(length);
    }
    return true;
}

// Puts the finished temporary file under the path's name in one replacing move,
// after keeping the input under `keptExtension` when asked. The path holds the
// complete old or the complete new content at every moment.
bool putInPlace(platform::FileSystem& fs, const platform::Path& path,
                const platform::Path& temporary, bool keepInput, const char* keptExtension) {
    if (keepInput && !fs.copyNew(path, withExtension(path, keptExtension))) {
        return false;
    }
    return fs.replace(temporary, path);
}

}  // namespace

bool cipherFile(platform::FileSystem& fs, const platform::Path& path, const std::string& key,
                bool keepInput) {
    if (key.empty()) {
        return false;
    }
    std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        return false;
    }
    const std::uint32_t dosTime = input->lastWriteDosTime();
    const std::int64_t size = input->size();
    if (size < 0) {
        return false;
    }
    const platform::Path temporary = withExtension(path, ".$$$");
    std::unique_ptr<platform::OutputFile> output = fs.createFile(temporary);
    if (!output) {
        return false;
    }
    auto block = std::make_unique<Block>();
    block->fill(0);
    writeLockHeader(block->data(), key, dosTime);
    const bool written = output->write(block->data(), kLockHeaderSize) &&
                         transformBlocks(*input, *output, size, key, *block) && output->flush();
    input.reset();
    output.reset();
    if (!written) {
        fs.remove(temporary);
        return false;
    }
    return putInPlace(fs, path, temporary, keepInput, ".org");
}

DecipherResult decipherFile(platform::FileSystem& fs, const platform::Path& path,
                            const std::string& key, bool keepInput) {
    if (key.empty()) {
        return DecipherResult::Failed;
    }
    std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        return DecipherResult::Failed;
    }
    const std::int64_t size = input->size();
    if (size < kShortestLockedFile) {
        return DecipherResult::Failed;
    }
    const platform::Path temporary = withExtension(path, ".$$$");
    std::unique_ptr<platform::OutputFile> output = fs.createFile(temporary);
    if (!output) {
        return DecipherResult::Failed;
    }
    auto block = std::make_unique<Block>();
    block->fill(0);
    const std::size_t headerBytes =
        static_cast<std::size_t>(std::min<std::int64_t>(size, kLockHeaderSize));
    if (input->read(block->data(), headerBytes) != headerBytes) {
        input.reset();
        output.reset();
        fs.remove(temporary);
        return DecipherResult::Failed;
    }
    const LockHeader header = readLockHeader(block->data());
    if (header.key != key) {
        // The empty temporary file is left behind, as it always was.
        return DecipherResult::NotLockedWithKey;
    }
    bool written =
        transformBlocks(*input, *output, size - std::int64_t{kLockHeaderSize}, key, *block);
    if (written && header.dosTime != 0) {
        // Not being able to restore the time does not make the content wrong.
        output->setLastWriteDosTime(header.dosTime);
    }
    written = written && output->flush();
    input.reset();
    output.reset();
    if (!written) {
        fs.remove(temporary);
        return DecipherResult::Failed;
    }
    return putInPlace(fs, path, temporary, keepInput, ".crp") ? DecipherResult::Deciphered
                                                              : DecipherResult::Failed;
}

}  // namespace test_support
