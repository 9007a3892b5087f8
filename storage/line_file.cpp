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

std::string readFileBytes(platform::FileSystem& fs, const platform::Path& path) {
    const std::unique_ptr<platform::InputFile> input = fs.openForReading(path);
    if (!input) {
        raiseCannotOpen(path);
    }
    std::string bytes;
    char buffer[4096];
    while (const std::size_t got = input->read(buffer, sizeof buffer)) {
        bytes.append(buffer, got);
    }
    return bytes;
}

Lines readLineFile(platform::FileSystem& fs, const platform::Path& path) {
    return splitLines(readFileBytes(fs, path));
}

namespace {

bool writeFile(platform::FileSystem& fs, const platform::Path& path, const std::string& bytes) {
    const std::unique_ptr<platform::OutputFile> output = fs.createFile(path);
    return output && output->write(bytes.data(), bytes.size()) && output->flush();
}

}  // namespace

// The lines go to a temporary file that then replaces the target in one move,
// so a crash or a full disk never leaves a half-written file under the name.
void writeLineFile(platform::FileSystem& fs, const platform::Path& path, const Lines& lines) {
    const platform::Path temporary = withExtension(path, ".$$$");
    if (!writeFile(fs, temporary, joinLines(lines)) || !fs.replace(temporary, path)) {
        fs.remove(temporary);
        raiseCannotCreate(path);
    }
}

}  // namespace storage
