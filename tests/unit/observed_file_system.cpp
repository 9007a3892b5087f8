#include "observed_file_system.h"

namespace test_support {
namespace {

class ObservedInputFile : public platform::InputFile {
public:
    ObservedInputFile(ObservedFileSystem& fs, std::unique_ptr<platform::InputFile> real)
        : fs_(fs), real_(std::move(real)) {}

    std::int64_t size() override { return fs_.failsNow() ? -1 : real_->size(); }

    // A failing read stops halfway, like a file that shrank meanwhile.
    std::size_t read(void* buffer, std::size_t count) override {
        return real_->read(buffer, fs_.failsNow() ? count / 2 : count);
    }

    std::uint32_t lastWriteDosTime() override { return real_->lastWriteDosTime(); }

private:
    ObservedFileSystem& fs_;
    std::unique_ptr<platform::InputFile> real_;
};

class ObservedOutputFile : public platform::OutputFile {
public:
    ObservedOutputFile(ObservedFileSystem& fs, std::unique_ptr<platform::OutputFile> real)
        : fs_(fs), real_(std::move(real)) {}

    ~ObservedOutputFile() override {
        real_.reset();
        fs_.changed();
    }

    // A failing write gets half of the bytes out, like a disk that fills up.
    bool write(const void* data, std::size_t count) override {
        if (fs_.failsNow()) {
            real_->write(data, count / 2);
            fs_.changed();
            return false;
        }
        const bool written = real_->write(data, count);
        fs_.changed();
        return written;
    }

    bool setLastWriteDosTime(std::uint32_t dosTime) override {
        if (fs_.failsNow()) {
            return false;
        }
        const bool set = real_->setLastWriteDosTime(dosTime);
        fs_.changed();
        return set;
    }

    bool flush() override { return !fs_.failsNow() && real_->flush(); }

private:
    ObservedFileSystem& fs_;
    std::unique_ptr<platform::OutputFile> real_;
};

}  // namespace

std::unique_ptr<platform::InputFile> ObservedFileSystem::openForReading(
    const platform::Path& path) {
    if (failsNow()) {
        return nullptr;
    }
    auto real = real_.openForReading(path);
    return real ? std::make_unique<ObservedInputFile>(*this, std::move(real)) : nullptr;
}

std::unique_ptr<platform::OutputFile> ObservedFileSystem::createFile(const platform::Path& path) {
    if (failsNow()) {
        return nullptr;
    }
    auto real = real_.createFile(path);
    changed();
    return real ? std::make_unique<ObservedOutputFile>(*this, std::move(real)) : nullptr;
}

bool ObservedFileSystem::remove(const platform::Path& path) {
    removed.push_back(path.filename().string());
    if (failsNow()) {
        return false;
    }
    const bool done = real_.remove(path);
    changed();
    return done;
}

bool ObservedFileSystem::copyNew(const platform::Path& from, const platform::Path& to) {
    if (failsNow()) {
        return false;
    }
    const bool done = real_.copyNew(from, to);
    changed();
    return done;
}

bool ObservedFileSystem::replace(const platform::Path& from, const platform::Path& to) {
    if (failsNow()) {
        return false;
    }
    const bool done = real_.replace(from, to);
    changed();
    return done;
}

}  // namespace test_support
