// The file system on Windows, through the wide-character API only.
#include <windows.h>

#include <limits>

#include "platform/file_system.h"

namespace platform {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

constexpr DWORD kLargestChunk = std::numeric_limits<DWORD>::max() / 2;

DWORD chunkOf(std::size_t count) {
    return count > kLargestChunk ? kLargestChunk : static_cast<DWORD>(count);
}

// A file time (UTC) as a packed DOS date-time in local time; 0 when it has none.
std::uint32_t toDosTime(const FILETIME& universal) {
    FILETIME local{};
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&universal, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time)) {
        return 0;
    }
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(HANDLE handle) : handle_(handle) {}

    std::int64_t size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(handle_.get(), &size) ? size.QuadPart : -1;
    }

    std::size_t read(void* buffer, std::size_t count) override {
        char* bytes = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < count) {
            DWORD got = 0;
            if (!ReadFile(handle_.get(), bytes + total, chunkOf(count - total), &got, nullptr) ||
                got == 0) {
                break;
            }
            total += got;
        }
        return total;
    }

    std::uint32_t lastWriteDosTime() override {
        FILETIME written{};
        return GetFileTime(handle_.get(), nullptr, nullptr, &written) ? toDosTime(written) : 0;
    }

private:
    Handle handle_;
};

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}

    bool write(const void* data, std::size_t count) override {
        const char* bytes = static_cast<const char*>(data);
        while (count > 0) {
            DWORD written = 0;
            if (!WriteFile(handle_.get(), bytes, chunkOf(count), &written, nullptr) ||
                written == 0) {
                return false;
            }
            bytes += written;
            count -= written;
        }
        return true;
    }

    bool setLastWriteDosTime(std::uint32_t dosTime) override {
        FILETIME local{};
        FILETIME universal{};
        return DosDateTimeToFileTime(static_cast<WORD>(dosTime >> 16),
                                     static_cast<WORD>(dosTime & 0xFFFF), &local) &&
               LocalFileTimeToFileTime(&local, &universal) &&
               SetFileTime(handle_.get(), nullptr, nullptr, &universal);
    }

    bool flush() override { return FlushFileBuffers(handle_.get()) != FALSE; }

private:
    Handle handle_;
};

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> openForReading(const Path& path) override {
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<Win32InputFile>(handle);
    }

    std::unique_ptr<OutputFile> createFile(const Path& path) override {
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<Win32OutputFile>(handle);
    }

    bool exists(const Path& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool remove(const Path& path) override { return DeleteFileW(path.c_str()) != FALSE; }

    bool copyNew(const Path& from, const Path& to) override {
        return CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE;
    }

    // ReplaceFileW is not one step everywhere (Wine does it in two); a replacing
    // move is a single rename underneath.
    bool replace(const Path& from, const Path& to) override {
        // Windows refuses to move over a read-only file, Wine does not: asking
        // first keeps a file the user made read-only unchanged on both.
        const DWORD attributes = GetFileAttributesW(to.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    std::uint32_t nowDosTime() override {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        return toDosTime(now);
    }
};

}  // namespace

FileSystem& realFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace platform
