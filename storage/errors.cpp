#include "storage/errors.h"

#include <utility>

namespace storage {

FileError::FileError(Kind kind, platform::Path path)
    : std::runtime_error(kind == Kind::CannotCreate ? "cannot create file" : "cannot open file"),
      kind_(kind),
      path_(std::move(path)) {}

void raiseCannotCreate(const platform::Path& path) {
    throw FileError(FileError::Kind::CannotCreate, path);
}

void raiseCannotOpen(const platform::Path& path) {
    throw FileError(FileError::Kind::CannotOpen, path);
}

ConversionError::ConversionError(std::string text)
    : std::runtime_error("'" + text + "' is not a valid integer value"), text_(std::move(text)) {}

}  // namespace storage
