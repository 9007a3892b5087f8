// The file operations that storage needs, behind an interface so that the
// storage code stays free of any operating system header and can be tested
// with real files on Linux and under Wine, and with faults injected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace platform {

using Path = std::filesystem::path;

// A file opened for reading, existing files only, with reading and writing by
// other processes still allowed.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual std::int64_t size() = 0;
    // Reads up to count bytes at the current position; returns the bytes read.
    virtual std::size_t read(void* buffer, std::size_t count) = 0;
    // Last-write time as a packed DOS date-time in local time (date in the
    // high 16 bits, time in the low 16 bits); 0 when it cannot be taken.
    virtual std::uint32_t lastWriteDosTime() = 0;
};

// A newly created file (replacing any file of that name), opened for reading
// and writing without sharing.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool write(const void* data, std::size_t count) = 0;
    // Sets the last-write time from a packed DOS date-time in local time.
    virtual bool setLastWriteDosTime(std::uint32_t dosTime) = 0;
    // Pushes everything written so far to the disk.
    virtual bool flush() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> openForReading(const Path& path) = 0;
    virtual std::unique_ptr<OutputFile> createFile(const Path& path) = 0;
    virtual bool exists(const Path& path) = 0;
    virtual bool remove(const Path& path) = 0;
    // Copies a file with its last-write time; fails when `to` exists.
    virtual bool copyNew(const Path& from, const Path& to) = 0;
    // Moves `from` over `to` in one step, replacing `to` if it exists, and
    // returns only once the move is on the disk.
    virtual bool replace(const Path& from, const Path& to) = 0;
    // The current time as a packed DOS date-time in local time, in the form
    // of lastWriteDosTime; 0 when it cannot be taken.
    virtual std::uint32_t nowDosTime() = 0;
};

// The file system of the machine the program runs on.
FileSystem& realFileSystem();

}  // namespace platform
