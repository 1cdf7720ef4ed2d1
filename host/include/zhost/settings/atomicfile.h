#pragma once
// Crash-safe file replacement and a cross-process lock, for the per-user stores (and any other
// module that rewrites a file a user cares about).
#include "zhost/core/status.h"

#include <filesystem>
#include <string_view>

namespace zhost::settings {

// Writes the bytes to a temporary file in the same folder ("<name>.tmp.<pid>.<n>"), flushes it
// to disk, renames it over `file` and flushes the folder: a crash leaves the old content or the
// new one, never a part. The folder must exist. fileError on any failure (the temporary file
// is removed).
Status writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Removes temporary files that writeFileAtomically left behind for `file` (a crash between
// creating and renaming). Call only while holding the file's lock.
void removeStaleTemporaries(const std::filesystem::path& file);

// An exclusive advisory lock (flock) on a lock file, held for the object's lifetime. Other
// processes taking the same lock wait. The lock file is created when missing and never removed
// (removing it would let two processes lock different files).
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace zhost::settings
