// Splits a fuzz input into fields for the targets: fields are separated by
// 0xFF, a byte that no code page 932 text holds, so a stored file's bytes make
// a seed that lands whole in the first field. Past the last field every field
// is empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/line_file.h"

namespace fuzz {

class Fields {
public:
    Fields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string text() {
        const std::size_t end = rest_.find('\xff');
        std::string field(rest_.substr(0, end));
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        return field;
    }
    // The lines of the next field, as a line file holds them.
    storage::Lines lines() { return storage::splitLines(text()); }
    // A number from `lowest` to `highest` made of the next field's bytes.
    int number(int lowest, int highest) {
        std::uint64_t value = 0;
        for (const char c : text()) value = value * 131 + static_cast<unsigned char>(c);
        const std::uint64_t span = static_cast<std::uint64_t>(highest - lowest) + 1;
        return lowest + static_cast<int>(value % span);
    }
    bool flag() { return number(0, 1) == 1; }
    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// Stops the run with a report when a property does not hold; libFuzzer keeps
// the input that broke it.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
inline void check(bool holds, const char* what) {
    if (!holds) fail(what);
}

}  // namespace fuzz
