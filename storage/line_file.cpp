#include "storage/line_file.h"

#include "storage/cryptogram.h"
#include "storage/errors.h"

namespace storage {

Lines splitLines(std::string_view bytes) {
    const std::size_t end = bytes.find('\0');
    if (end != std::string_view::npos) {
        bytes = bytes.substr(0, end);
    }
    Lines lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, stop - start));
        start = stop + 1;
        if (bytes[stop] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::string joinLines(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::optional<std::string> readWholeFile(platform::FileSystem& fs, const platform::Path& path,
                                         std::int64_t largest) {
    const std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        return std::nullopt;
    }
    const std::int64_t size = input->size();
    if (size < 0 || size > largest) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (input->read(bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::string readFileBytes(platform::FileSystem& fs, const platform::Path& path) {
    std::optional<std::string> bytes = readWholeFile(fs, path);
    if (!bytes) {
        raiseCannotOpen(path);
    }
    return std::move(*bytes);
}

Lines readLineFile(platform::FileSystem& fs, const platform::Path& path) {
    return splitLines(readFileBytes(fs, path));
}

bool prepareReplacement(platform::FileSystem& fs, const platform::Path& path,
                        const std::string& bytes) {
    std::unique_ptr<platform::OutputFile> output = fs.createFile(withExtension(path, ".$$$"));
    const bool written = output && output->write(bytes.data(), bytes.size()) && output->flush();
    output.reset();
    if (!written) {
        abandonReplacement(fs, path);
    }
    return written;
}

bool completeReplacement(platform::FileSystem& fs, const platform::Path& path) {
    if (!fs.replace(withExtension(path, ".$$$"), path)) {
        abandonReplacement(fs, path);
        return false;
    }
    return true;
}

void abandonReplacement(platform::FileSystem& fs, const platform::Path& path) {
    fs.remove(withExtension(path, ".$$$"));
}

bool replaceWholeFile(platform::FileSystem& fs, const platform::Path& path,
                      const std::string& bytes) {
    return prepareReplacement(fs, path, bytes) && completeReplacement(fs, path);
}

// The lines go to a temporary file that then replaces the target in one move,
// so a crash or a full disk never leaves a half-written file under the name.
void writeLineFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    if (!replaceWholeFile(fs, path, joinLines(lines))) {
        raiseCannotCreate(path);
    }
}

}  // namespace storage
