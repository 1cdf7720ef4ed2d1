// Saving files: only regular files or new names are written, links are written through, the
// replaced file's mode and owner survive, and a backup can be kept. (A kill during a save:
// tests/app/save_kill_test.cpp.)
#include "support/temp_folder.h"

#include "support/status.h"

#include "zhost/settings/atomicfile.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace zhost::settings;
namespace fs = std::filesystem;
using zhost::Status;

namespace {

struct stat statOf(const fs::path& p) {
    struct stat st = {};
    ::lstat(p.c_str(), &st);
    return st;
}

// Entries of a folder other than the ones named: a failed save must leave no temporary behind.
std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SafeSave, ReplacesARegularFileKeepingItsModeAndOwner) {
    ztest::TempFolder dir;
    const fs::path file = dir.Write("part.dxf", "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
    }
    std::wstring reason;
    ASSERT_OK(writeFileAtomically(file, "new", {}, &reason))
        << std::string(reason.begin(), reason.end());
    EXPECT_EQ(ztest::ReadFile(file), "new");
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"part.dxf"});
}

TEST(SafeSave, NewFileFollowsTheUmask) {
    ztest::TempFolder dir;
    const mode_t old = ::umask(027);
    const Status s = writeFileAtomically(dir.path() / "new.dxf", "x");
    ::umask(old);
    ASSERT_OK(s);
    EXPECT_EQ(statOf(dir.path() / "new.dxf").st_mode & 0777, 0640u);
}

TEST(SafeSave, WritesThroughSymbolicLinksAndKeepsTheLinks) {
    ztest::TempFolder dir;
    const fs::path target = dir.Write("real/drawing.dxf", "old");
    fs::create_directories(dir.path() / "links");
    // A relative link counts from its own folder, and links may chain.
    fs::create_symlink("../real/drawing.dxf", dir.path() / "links" / "first.dxf");
    fs::create_symlink(dir.path() / "links" / "first.dxf", dir.path() / "second.dxf");
    ASSERT_OK(writeFileAtomically(dir.path() / "second.dxf", "new"));
    EXPECT_EQ(ztest::ReadFile(target), "new");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "second.dxf"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "links" / "first.dxf"));
    EXPECT_EQ(entriesOf(dir.path() / "real"), std::vector<std::string>{"drawing.dxf"});

    // A dangling link creates the file it names.
    fs::create_symlink("made.dxf", dir.path() / "dangling.dxf");
    ASSERT_OK(writeFileAtomically(dir.path() / "dangling.dxf", "made"));
    EXPECT_EQ(ztest::ReadFile(dir.path() / "made.dxf"), "made");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.dxf"));
}

TEST(SafeSave, RefusesFoldersDevicesFifosAndSocketsWithTheReason) {
    ztest::TempFolder dir;
    fs::create_directories(dir.path() / "folder");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0644), 0);
    fs::create_symlink("/dev/null", dir.path() / "null-link");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (dir.path() / "sock").string();
    ASSERT_LT(sockPath.size(), sizeof(addr.sun_path));
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

    const std::vector<std::string> before = entriesOf(dir.path());
    const struct {
        const char* name;
        const wchar_t* reason;
    } cases[] = {{"folder", L"Is a directory"},
                 {"folder/", L"Is a directory"},
                 {"fifo", L"Not a regular file (a FIFO)"},
                 {"null-link", L"Not a regular file (a character device)"},
                 {"sock", L"Not a regular file (a socket)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring reason, checked;
        EXPECT_EQ(checkSaveTarget(dir.path() / c.name, &checked), Status::fileError);
        EXPECT_EQ(writeFileAtomically(dir.path() / c.name, "x", {}, &reason), Status::fileError);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(checked, c.reason);
    }
    ::close(sock);
    EXPECT_EQ(entriesOf(dir.path()), before);
    EXPECT_TRUE(S_ISFIFO(statOf(dir.path() / "fifo").st_mode));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "null-link"));
    EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
}

TEST(SafeSave, ReportsTheSystemsReasonForMissingFoldersAndLoops) {
    ztest::TempFolder dir;
    std::wstring reason;
    EXPECT_EQ(writeFileAtomically(dir.path() / "no" / "such.dxf", "x", {}, &reason),
              Status::fileError);
    EXPECT_EQ(reason, L"No such file or directory");
    dir.Write("plain", "file");
    EXPECT_EQ(writeFileAtomically(dir.path() / "plain" / "x.dxf", "x", {}, &reason),
              Status::fileError);
    EXPECT_EQ(reason, L"Not a directory");
    fs::create_symlink("b", dir.path() / "a");
    fs::create_symlink("a", dir.path() / "b");
    EXPECT_EQ(writeFileAtomically(dir.path() / "a", "x", {}, &reason), Status::fileError);
    EXPECT_EQ(reason, L"Too many levels of symbolic links");
    EXPECT_EQ(writeFileAtomically("", "x", {}, &reason), Status::invalidInput);
    EXPECT_EQ(reason, L"No file name given");
}

TEST(SafeSave, RefusesWhatTheUserMayNotWrite) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    ztest::TempFolder dir;
    const fs::path locked = dir.Write("locked/part.dxf", "old");
    ::chmod(locked.c_str(), 0444);
    std::wstring reason;
    EXPECT_EQ(writeFileAtomically(locked, "new", {}, &reason), Status::fileError);
    EXPECT_EQ(reason, L"Permission denied");
    EXPECT_EQ(ztest::ReadFile(locked), "old");
    ::chmod(locked.parent_path().c_str(), 0555);
    EXPECT_EQ(writeFileAtomically(locked.parent_path() / "new.dxf", "x", {}, &reason),
              Status::fileError);
    EXPECT_EQ(reason, L"Permission denied");
    ::chmod(locked.parent_path().c_str(), 0755);
}

TEST(SafeSave, KeepsTheReplacedFileAsBackupWhenAsked) {
    ztest::TempFolder dir;
    const fs::path file = dir.path() / "plate.dxf";
    ASSERT_OK(writeFileAtomically(file, "one", {.keepBackup = true}));
    EXPECT_FALSE(fs::exists(dir.path() / "plate.bak")); // nothing was replaced
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_OK(writeFileAtomically(file, "two", {.keepBackup = true}));
    ASSERT_OK(writeFileAtomically(file, "three", {.keepBackup = true}));
    EXPECT_EQ(ztest::ReadFile(file), "three");
    EXPECT_EQ(ztest::ReadFile(dir.path() / "plate.bak"), "two");
    EXPECT_EQ(statOf(dir.path() / "plate.bak").st_mode & 0777, 0600u);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"plate.bak", "plate.dxf"}));

    ASSERT_OK(writeFileAtomically(file, "four")); // no backup unless asked
    EXPECT_EQ(ztest::ReadFile(dir.path() / "plate.bak"), "two");

    dir.Write("noext", "old");
    ASSERT_OK(writeFileAtomically(dir.path() / "noext", "new", {.keepBackup = true}));
    EXPECT_EQ(ztest::ReadFile(dir.path() / "noext.bak"), "old");
}

TEST(SafeSave, ABackupNameThatIsNoFileFailsTheSaveAndChangesNothing) {
    ztest::TempFolder dir;
    const fs::path file = dir.Write("plate.dxf", "old");
    fs::create_directories(dir.path() / "plate.bak");
    std::wstring reason;
    EXPECT_EQ(writeFileAtomically(file, "new", {.keepBackup = true}, &reason), Status::fileError);
    EXPECT_NE(reason.find(L"plate.bak"), std::wstring::npos);
    EXPECT_EQ(ztest::ReadFile(file), "old");
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"plate.bak", "plate.dxf"}));
}
