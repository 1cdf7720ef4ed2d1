#pragma once
// Safe saving: the one way the host replaces a file a user cares about (drawings, pictures, the
// per-user stores, logs), and a cross-process lock.
//
//   std::wstring reason;
//   if (!ok(settings::writeFileAtomically("part.dxf", bytes, {.keepBackup = true}, &reason)))
//       print(L"cannot write part.dxf: " + reason);
//
// Only a regular file or a new name is ever written. A symbolic link is followed and its target
// replaced (the link stays a link); the replaced file's mode and owner carry over to the new one;
// the bytes go to a temporary file in the target's folder, which is flushed to disk, renamed over
// the target, and the folder flushed: a crash or a kill at any moment leaves the old content or
// the new one, never a part. Devices, FIFOs, sockets and folders are refused, never replaced.
#include "zhost/core/status.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zhost::settings {

struct SaveOptions {
    // Keep the file being replaced as a backup beside it (backupPathFor), replacing an older
    // backup. Nothing is kept when the target is new.
    bool keepBackup = false;
};

// Where a save of `file` lands: symbolic links followed to the file they name, which may not
// exist yet (a dangling link saves to its target). Relative links count from the link's
// folder. The path unchanged when it is not a link; empty when the links loop.
std::filesystem::path saveTargetOf(const std::filesystem::path& file);

// The backup name of a saved file: the extension replaced by ".bak" ("plate.dxf" keeps
// "plate.bak"), or ".bak" appended to a name without one.
std::filesystem::path backupPathFor(const std::filesystem::path& file);

// Whether `file` may be saved, without writing anything: ok when it is an existing regular file
// (through links) that may be written, or a new name in an existing, writable folder.
// invalidInput for an empty name, fileError otherwise; `reason` (optional) gets the system's
// words ("Permission denied", "No such file or directory") or says what the name is when it is
// not a regular file ("Is a directory", "Not a regular file (a FIFO)").
Status checkSaveTarget(const std::filesystem::path& file, std::wstring* reason = nullptr);

// Saves the bytes as described above. On failure nothing on disk has changed (the temporary
// file is removed) and `reason` (optional) says why, as checkSaveTarget does.
Status writeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           const SaveOptions& options = {}, std::wstring* reason = nullptr);

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
