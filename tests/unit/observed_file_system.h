// A file system that passes every call to the real one while it records the
// files removed, reports every change it made, and can make one chosen
// operation fail the way a full disk or a crash would.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace test_support {

class ObservedFileSystem : public platform::FileSystem {
public:
    explicit ObservedFileSystem(platform::FileSystem& real) : real_(real) {}

    // Called after every operation that may have changed a file.
    std::function<void()> afterChange;
    // The zero-based number of the operation that fails; -1 for none.
    int failingOperation = -1;
    int operationCount() const { return operations_; }
    bool faultInjected() const { return failingOperation >= 0 && operations_ > failingOperation; }
    // File names given to remove, in order.
    std::vector<std::string> removed;

    // Counts an operation and says whether it is the one that fails.
    bool failsNow() { return operations_++ == failingOperation; }
    void changed() {
        if (afterChange) {
            afterChange();
        }
    }

    std::unique_ptr<platform::InputFile> openForReading(const platform::Path& path) override;
    std::unique_ptr<platform::OutputFile> createFile(const platform::Path& path) override;
    bool exists(const platform::Path& path) override { return real_.exists(path); }
    bool remove(const platform::Path& path) override;
    bool copyNew(const platform::Path& from, const platform::Path& to) override;
    bool replace(const platform::Path& from, const platform::Path& to) override;
    std::uint32_t nowDosTime() override { return real_.nowDosTime(); }

private:
    platform::FileSystem& real_;
    int operations_ = 0;
};

}  // namespace test_support
