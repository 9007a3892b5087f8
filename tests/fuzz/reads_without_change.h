// A check shared by the stored file targets: a read gives data or reports
// the file as unreadable, and changes no file either way.
#pragma once

#include "fuzz_fields.h"
#include "storage/errors.h"
#include "tests/support/memory_file_system.h"

namespace fuzz {

template <typename Read>
void readsWithoutChange(test_support::MemoryFileSystem& fs, Read read) {
    const auto before = fs.files;
    try {
        read();
    } catch (const storage::FileError& error) {
        check(error.kind() == storage::FileError::Kind::CannotOpen,
              "a read reported a write failure");
    }
    check(fs.files == before, "reading changed a file");
}

}  // namespace fuzz
