#include "test_support.h"

#include <fstream>
#include <iterator>
#include <random>

namespace test_support {

std::optional<std::string> readBytes(const Path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const Path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

void writeBytesWithTime(const Path& path, std::string_view bytes, std::uint32_t dosTime) {
    auto out = platform::realFileSystem().createFile(path);
    ASSERT_TRUE(out) << path;
    ASSERT_TRUE(out->write(bytes.data(), bytes.size()));
    ASSERT_TRUE(out->setLastWriteDosTime(dosTime));
    ASSERT_TRUE(out->flush());
}

std::uint32_t lastWriteDosTime(const Path& path) {
    auto in = platform::realFileSystem().openForReading(path);
    return in ? in->lastWriteDosTime() : 0;
}

std::string arbitraryBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

void TempFolderTest::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("nemuroku-") + test->test_suite_name() + "-" + test->name() +
                       "-" + std::to_string(std::random_device{}());
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder_);
}

void TempFolderTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void TempFolderTest::resetFolder() {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

}  // namespace test_support
