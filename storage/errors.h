// The two kinds of failure that storage reports to the user. They are thrown
// where they happen and shown in one place by the windowing layer.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace storage {

// A line file that could not be written ("ファイル %s を作成できません") or
// read ("ファイル %s は開けません").
class FileError : public std::runtime_error {
public:
    enum class Kind { CannotCreate, CannotOpen };
    FileError(Kind kind, platform::Path path);
    Kind kind() const { return kind_; }
    const platform::Path& path() const { return path_; }

private:
    Kind kind_;
    platform::Path path_;
};

[[noreturn]] void raiseCannotCreate(const platform::Path& path);
[[noreturn]] void raiseCannotOpen(const platform::Path& path);

// A text that had to be a decimal integer and was not
// ("'%s' is not a valid integer value"). The text is kept as stored bytes.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string text);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace storage
