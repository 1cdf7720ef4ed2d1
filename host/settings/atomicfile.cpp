#include "zhost/settings/atomicfile.h"

#include "zhost/core/system_error.h"
#include "zhost/settings/paths.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zhost::settings {
namespace fs = std::filesystem;

namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;

Status failWith(std::wstring* reason, int errorNumber) {
    if (reason)
        *reason = systemErrorText(errorNumber);
    return Status::fileError;
}

Status failWith(std::wstring* reason, std::wstring text) {
    if (reason)
        *reason = std::move(text);
    return Status::fileError;
}

// Why a name that exists cannot be saved over: it is not a regular file.
Status refuseKind(std::wstring* reason, mode_t mode) {
    return failWith(reason, fileKindProblem(mode));
}

fs::path folderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string temporaryPrefix(const fs::path& file) {
    return file.filename().string() + ".tmp.";
}

fs::path temporaryFor(const fs::path& file) {
    static std::atomic<unsigned> counter{0};
    return folderOf(file) / (temporaryPrefix(file) + std::to_string(::getpid()) + "." +
                             std::to_string(counter.fetch_add(1)));
}

// A temporary file that is removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const fs::path& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    fs::path path_;
};

// Writes and flushes the whole of `bytes` to an open descriptor and closes it; 0 or the errno.
int writeAndClose(int fd, std::string_view bytes) {
    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

struct SaveTarget {
    fs::path file; // links resolved
    bool exists = false;
    struct stat info = {};
};

Status inspectTarget(const fs::path& name, SaveTarget& target, std::wstring* reason) {
    if (name.empty()) {
        if (reason)
            *reason = L"No file name given";
        return Status::invalidInput;
    }
    target.file = saveTargetOf(name);
    if (target.file.empty())
        return failWith(reason, ELOOP);
    const fs::path leaf = target.file.filename();
    if (leaf.empty() || leaf == "." || leaf == "..")
        return failWith(reason, EISDIR);
    if (::stat(target.file.c_str(), &target.info) == 0) {
        if (!S_ISREG(target.info.st_mode))
            return refuseKind(reason, target.info.st_mode);
        if (::access(target.file.c_str(), W_OK) != 0)
            return failWith(reason, errno);
        target.exists = true;
    } else if (errno != ENOENT) {
        return failWith(reason, errno);
    }
    // Replacing or creating a name is a change of the folder.
    const fs::path folder = folderOf(target.file);
    struct stat folderInfo = {};
    if (::stat(folder.c_str(), &folderInfo) != 0)
        return failWith(reason, errno);
    if (!S_ISDIR(folderInfo.st_mode))
        return failWith(reason, ENOTDIR);
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return failWith(reason, errno);
    return Status::ok;
}

// The new file takes over the old one's owner and permissions; the owner is kept as far as the
// process may (a user who cannot give a file away still keeps its group when a member of it).
void carryOverOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    // After fchown, which clears set-id bits.
    ::fchmod(fd, old.st_mode & 07777);
}

// Copies a file's bytes into an open descriptor (for file systems without hard links).
int copyInto(const fs::path& from, int fd) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    std::vector<char> buffer(1 << 16);
    std::string bytes;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : 0;
            ::close(in);
            if (error != 0) {
                ::close(fd);
                return error;
            }
            break;
        }
        bytes.append(buffer.data(), static_cast<size_t>(n));
    }
    return writeAndClose(fd, bytes);
}

// Gives the current content of `file` the backup name. The file itself stays in place
// throughout, so a crash here loses nothing either.
Status keepBackup(const fs::path& file, const struct stat& info, std::wstring* reason) {
    const fs::path backup = backupPathFor(file);
    if (backup == file)
        return Status::ok;
    struct stat old = {};
    if (::lstat(backup.c_str(), &old) == 0 && !S_ISREG(old.st_mode)) {
        return failWith(reason, L"cannot keep the backup " + toWide(backup) + L": " +
                                    fileKindProblem(old.st_mode));
    }
    TemporaryFile temp(temporaryFor(backup));
    if (::link(file.c_str(), temp.path().c_str()) != 0) {
        const int fd = ::open(temp.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return failWith(reason, errno);
        carryOverOwnerAndMode(fd, info);
        if (const int error = copyInto(file, fd); error != 0)
            return failWith(reason, error);
    }
    if (::rename(temp.path().c_str(), backup.c_str()) != 0)
        return failWith(reason, errno);
    temp.keep();
    return Status::ok;
}

} // namespace

fs::path saveTargetOf(const fs::path& file) {
    fs::path current = file;
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat info = {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current; // a regular file, something to refuse later, or a new name
        std::vector<char> text(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
        if (n < 0 || static_cast<size_t>(n) >= text.size())
            return current; // changed under us: the checks that follow see what is there now
        const fs::path link(std::string(text.data(), static_cast<size_t>(n)));
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return {};
}

fs::path backupPathFor(const fs::path& file) {
    fs::path backup = file;
    if (file.has_extension())
        backup.replace_extension(".bak");
    else
        backup += ".bak";
    return backup;
}

Status checkSaveTarget(const fs::path& file, std::wstring* reason) {
    SaveTarget target;
    return inspectTarget(file, target, reason);
}

Status writeFileAtomically(const fs::path& file, std::string_view bytes, const SaveOptions& options,
                           std::wstring* reason) {
    SaveTarget target;
    if (const Status s = inspectTarget(file, target, reason); !ok(s))
        return s;
    TemporaryFile temp(temporaryFor(target.file));
    // A new file gets the usual permissions of the user's umask; a replaced one its own.
    const int fd = ::open(temp.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          target.exists ? 0600 : 0666);
    if (fd < 0)
        return failWith(reason, errno);
    if (target.exists)
        carryOverOwnerAndMode(fd, target.info);
    if (const int error = writeAndClose(fd, bytes); error != 0)
        return failWith(reason, error);
    if (options.keepBackup && target.exists)
        if (const Status s = keepBackup(target.file, target.info, reason); !ok(s))
            return s;
    if (::rename(temp.path().c_str(), target.file.c_str()) != 0)
        return failWith(reason, errno);
    temp.keep();
    syncFolder(folderOf(target.file));
    return Status::ok;
}

void removeStaleTemporaries(const fs::path& file) {
    std::error_code ec;
    const std::string prefix = temporaryPrefix(file);
    for (const auto& entry : fs::directory_iterator(folderOf(file), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0)
            fs::remove(entry.path(), ec);
    }
}

FileLock::FileLock(const fs::path& lockFile) {
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

} // namespace zhost::settings
