// Line files: any bytes split into lines without line ends or NUL, and lines
// without them survive a write and a read unchanged.
#include <string_view>

#include "fuzz_fields.h"
#include "storage/line_file.h"

namespace {
constexpr std::string_view kLineBreaking("\r\n\0", 3);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const storage::Lines read =
        storage::splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& line : read)
        fuzz::check(line.find_first_of(kLineBreaking) == std::string::npos,
                    "a line read holds a line end or NUL");
    fuzz::check(storage::splitLines(storage::joinLines(read)) == read,
                "lines read do not survive a write");

    fuzz::Fields fields(data, size);
    storage::Lines written;
    while (!fields.empty()) {
        std::string line = fields.text();
        std::erase_if(line, [](char c) { return kLineBreaking.find(c) != std::string::npos; });
        written.push_back(std::move(line));
    }
    fuzz::check(storage::splitLines(storage::joinLines(written)) == written,
                "lines do not survive a write and a read");
    return 0;
}
