// The file system on POSIX systems; used by the native unit tests.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/file_system.h"

namespace platform {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::uint32_t toDosTime(std::time_t time) {
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return 0;
    }
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) {
        return 0;
    }
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                               (static_cast<std::uint32_t>(local.tm_mon + 1) << 5) |
                               static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t clock = (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                                (static_cast<std::uint32_t>(local.tm_min) << 5) |
                                static_cast<std::uint32_t>(local.tm_sec / 2);
    return (date << 16) | clock;
}

bool fromDosTime(std::uint32_t dosTime, std::time_t& time) {
    const unsigned date = dosTime >> 16;
    const unsigned clock = dosTime & 0xFFFF;
    std::tm local{};
    local.tm_year = static_cast<int>((date >> 9) + 1980 - 1900);
    local.tm_mon = static_cast<int>(((date >> 5) & 0x0F)) - 1;
    local.tm_mday = static_cast<int>(date & 0x1F);
    local.tm_hour = static_cast<int>(clock >> 11);
    local.tm_min = static_cast<int>((clock >> 5) & 0x3F);
    local.tm_sec = static_cast<int>((clock & 0x1F) * 2);
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 59) {
        return false;
    }
    time = std::mktime(&local);
    return time != static_cast<std::time_t>(-1);
}

bool writeAll(int fd, const void* data, std::size_t count) {
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

// A rename is only durable once the directory that holds it is synced.
void syncDirectoryOf(const Path& path) {
    Path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
}

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}

    std::int64_t size() override {
        struct stat status {};
        return ::fstat(fd_.get(), &status) == 0 ? static_cast<std::int64_t>(status.st_size) : -1;
    }

    std::size_t read(void* buffer, std::size_t count) override {
        char* bytes = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < count) {
            const ssize_t got = ::read(fd_.get(), bytes + total, count - total);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

    std::uint32_t lastWriteDosTime() override {
        struct stat status {};
        return ::fstat(fd_.get(), &status) == 0 ? toDosTime(status.st_mtime) : 0;
    }

private:
    Descriptor fd_;
};

class PosixOutputFile : public OutputFile {
public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}

    bool write(const void* data, std::size_t count) override {
        return writeAll(fd_.get(), data, count);
    }

    bool setLastWriteDosTime(std::uint32_t dosTime) override {
        std::time_t time = 0;
        if (!fromDosTime(dosTime, time)) {
            return false;
        }
        const timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
        return ::futimens(fd_.get(), times) == 0;
    }

    bool flush() override { return ::fsync(fd_.get()) == 0; }

private:
    Descriptor fd_;
};

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> openForReading(const Path& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<PosixInputFile>(fd);
    }

    std::unique_ptr<OutputFile> createFile(const Path& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd);
    }

    bool exists(const Path& path) override {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
    }

    bool remove(const Path& path) override { return ::unlink(path.c_str()) == 0; }

    bool copyNew(const Path& from, const Path& to) override {
        Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat status {};
        if (source.get() < 0 || ::fstat(source.get(), &status) != 0) {
            return false;
        }
        Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (target.get() < 0) {
            return false;
        }
        char buffer[4096];
        bool copied = true;
        for (;;) {
            const ssize_t got = ::read(source.get(), buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                copied = got == 0;
                break;
            }
            if (!writeAll(target.get(), buffer, static_cast<std::size_t>(got))) {
                copied = false;
                break;
            }
        }
        const timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
        copied = copied && ::futimens(target.get(), times) == 0 && ::fsync(target.get()) == 0;
        if (!copied) {
            ::unlink(to.c_str());
        }
        return copied;
    }

    // Once the rename is done the new content stands under `to`, so a failed
    // directory sync is not reported as a failed replace.
    bool replace(const Path& from, const Path& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            return false;
        }
        syncDirectoryOf(to);
        return true;
    }

    std::uint32_t nowDosTime() override { return toDosTime(std::time(nullptr)); }
};

}  // namespace

FileSystem& realFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace platform
