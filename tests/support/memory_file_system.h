// Files held in memory, so that the stored file readers and writers run at
// fuzzing speed. Only what the targets need: whole files by path.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace test_support {

class MemoryFileSystem : public platform::FileSystem {
public:
    std::map<platform::Path, std::string> files;

    std::unique_ptr<platform::InputFile> openForReading(const platform::Path& path) override {
        const auto found = files.find(path);
        if (found == files.end()) return nullptr;
        return std::make_unique<Input>(found->second);
    }
    std::unique_ptr<platform::OutputFile> createFile(const platform::Path& path) override {
        std::string& bytes = files[path];
        bytes.clear();
        return std::make_unique<Output>(bytes);
    }
    bool exists(const platform::Path& path) override { return files.count(path) != 0; }
    bool remove(const platform::Path& path) override { return files.erase(path) != 0; }
    bool copyNew(const platform::Path& from, const platform::Path& to) override {
        if (!exists(from) || exists(to)) return false;
        files[to] = files[from];
        return true;
    }
    bool replace(const platform::Path& from, const platform::Path& to) override {
        const auto found = files.find(from);
        if (found == files.end()) return false;
        std::string bytes = std::move(found->second);
        files.erase(found);
        files[to] = std::move(bytes);
        return true;
    }
    std::uint32_t nowDosTime() override { return 0x3A214C20; }

private:
    class Input : public platform::InputFile {
    public:
        explicit Input(std::string bytes) : bytes_(std::move(bytes)) {}
        std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }
        std::size_t read(void* buffer, std::size_t count) override {
            const std::size_t taken = std::min(count, bytes_.size() - position_);
            std::memcpy(buffer, bytes_.data() + position_, taken);
            position_ += taken;
            return taken;
        }
        std::uint32_t lastWriteDosTime() override { return 0; }

    private:
        std::string bytes_;
        std::size_t position_ = 0;
    };
    class Output : public platform::OutputFile {
    public:
        explicit Output(std::string& bytes) : bytes_(bytes) {}
        bool write(const void* data, std::size_t count) override {
            bytes_.append(static_cast<const char*>(data), count);
            return true;
        }
        bool setLastWriteDosTime(std::uint32_t) override { return true; }
        bool flush() override { return true; }

    private:
        std::string& bytes_;
    };
};

}  // namespace test_support
