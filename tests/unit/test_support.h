// Fixtures shared by the unit tests: a fresh folder per test on the real file
// system of the platform, and plain byte access to the files in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace test_support {

using platform::Path;

std::optional<std::string> readBytes(const Path& path);
void writeBytes(const Path& path, std::string_view bytes);
// Writes through the platform so that the file gets the given last-write time.
void writeBytesWithTime(const Path& path, std::string_view bytes, std::uint32_t dosTime);
std::uint32_t lastWriteDosTime(const Path& path);

constexpr std::uint32_t dosTime(int year, int month, int day, int hour, int minute, int second) {
    const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const auto clock = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | clock;
}

// Bytes that are no valid code page 932 text and must still survive unchanged.
std::string arbitraryBytes(std::size_t count, unsigned seed = 7);

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Empties the folder, for tests that run a scenario many times.
    void resetFolder();
    Path path(std::string_view name) const { return folder_ / std::string(name); }
    const Path& folder() const { return folder_; }

    platform::FileSystem& fs_ = platform::realFileSystem();

private:
    Path folder_;
};

}  // namespace test_support
