// A stored file must never be lost or half written: whatever step of an
// encryption, decryption or line file write fails or is the last one before a
// crash, the file's name holds either its complete old or complete new content.
#include <filesystem>
#include <ostream>
#include <sstream>
#include <tuple>

#include "observed_file_system.h"
#include "storage/cryptogram.h"
#include "storage/errors.h"
#include "storage/line_file.h"
#include "test_support.h"
#include "tests/support/file_cipher.h"

namespace {

using namespace test_support;

enum class Operation { Encrypt, Decrypt, WriteLines };

std::ostream& operator<<(std::ostream& out, Operation operation) {
    const char* const names[] = {"Encrypt", "Decrypt", "WriteLines"};
    return out << names[static_cast<int>(operation)];
}

constexpr std::uint32_t kFileTime = dosTime(2003, 2, 1, 12, 0, 0);

std::string encrypted(const std::string& plain) {
    std::string result(storage::kLockHeaderSize, '\0');
    storage::writeLockHeader(reinterpret_cast<unsigned char*>(result.data()), "qz", kFileTime);
    std::string payload = plain;
    for (std::size_t start = 0; start < payload.size(); start += storage::kCipherBlockSize) {
        storage::xorWithKey(reinterpret_cast<unsigned char*>(payload.data() + start),
                            std::min(storage::kCipherBlockSize, payload.size() - start), "qz");
    }
    return result + payload;
}

class AtomicReplace : public TempFolderTest,
                      public ::testing::WithParamInterface<std::tuple<Operation, bool>> {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        const std::string plain = arbitraryBytes(2500);  // two full blocks and a remainder
        switch (operation()) {
            case Operation::Encrypt:
                oldContent_ = plain;
                newContent_ = encrypted(plain);
                break;
            case Operation::Decrypt:
                oldContent_ = encrypted(plain);
                newContent_ = plain;
                break;
            case Operation::WriteLines:
                oldContent_ = storage::joinLines({"old", "lines", "of the file"});
                newContent_ = storage::joinLines(newLines_);
                break;
        }
    }

    Operation operation() const { return std::get<0>(GetParam()); }
    bool keepInput() const { return std::get<1>(GetParam()); }
    Path target() const { return path("f.ini"); }
    Path kept() const { return path(operation() == Operation::Encrypt ? "f.org" : "f.crp"); }

    void writeOldContent() { writeBytesWithTime(target(), oldContent_, kFileTime); }

    bool run(platform::FileSystem& fs) {
        switch (operation()) {
            case Operation::Encrypt:
                return test_support::cipherFile(fs, target(), "qz", keepInput());
            case Operation::Decrypt:
                return test_support::decipherFile(fs, target(), "qz", keepInput()) ==
                       test_support::DecipherResult::Deciphered;
            case Operation::WriteLines:
                try {
                    storage::writeLineFile(fs, target(), newLines_);
                    return true;
                } catch (const storage::FileError&) {
                    return false;
                }
        }
        return false;
    }

    // Installs the check that runs after every change to any file.
    void checkAfterEveryChange(ObservedFileSystem& fs, int& checks) {
        fs.afterChange = [this, &checks] {
            ++checks;
            const auto content = readBytes(target());
            ASSERT_TRUE(content) << "the file is missing";
            EXPECT_TRUE(*content == oldContent_ || *content == newContent_)
                << "the file holds neither its old nor its new content";
        };
    }

    void expectCompleteResult(bool succeeded) {
        if (succeeded) {
            EXPECT_EQ(readBytes(target()), newContent_);
            EXPECT_FALSE(std::filesystem::exists(path("f.$$$")));
            if (keepInput()) {
                EXPECT_EQ(readBytes(kept()), oldContent_);
            }
        } else {
            EXPECT_EQ(readBytes(target()), oldContent_);
        }
    }

    std::string oldContent_;
    std::string newContent_;
    const storage::Lines newLines_ = {"new", "", "\x83\x4c\x81\x5b"};
};

TEST_P(AtomicReplace, ThePathHoldsTheOldOrTheNewContentAfterEveryStep) {
    writeOldContent();
    ObservedFileSystem fs(fs_);
    int checks = 0;
    checkAfterEveryChange(fs, checks);

    EXPECT_TRUE(run(fs));
    expectCompleteResult(true);
    EXPECT_GE(checks, 4);
}

TEST_P(AtomicReplace, AFailureAtAnyStepLeavesTheOldContentOrReportsTheNew) {
    int failures = 0;
    for (int step = 0; step < 1000; ++step) {
        SCOPED_TRACE("failing operation " + std::to_string(step));
        resetFolder();
        writeOldContent();
        ObservedFileSystem fs(fs_);
        int checks = 0;
        checkAfterEveryChange(fs, checks);
        fs.failingOperation = step;

        const bool succeeded = run(fs);
        if (!fs.faultInjected()) {
            EXPECT_TRUE(succeeded);
            expectCompleteResult(succeeded);
            break;
        }
        failures += succeeded ? 0 : 1;
        expectCompleteResult(succeeded);
        if (HasFailure()) {
            break;
        }
    }
    // Every operation has at least its create, write, flush and replace to fail.
    EXPECT_GE(failures, 4);
}

std::string scenarioName(const ::testing::TestParamInfo<AtomicReplace::ParamType>& info) {
    std::ostringstream name;
    name << std::get<0>(info.param) << (std::get<1>(info.param) ? "KeepingInput" : "");
    return name.str();
}

INSTANTIATE_TEST_SUITE_P(StoredFiles, AtomicReplace,
                         ::testing::Values(std::make_tuple(Operation::Encrypt, false),
                                           std::make_tuple(Operation::Encrypt, true),
                                           std::make_tuple(Operation::Decrypt, false),
                                           std::make_tuple(Operation::Decrypt, true),
                                           std::make_tuple(Operation::WriteLines, false)),
                         scenarioName);

}  // namespace
