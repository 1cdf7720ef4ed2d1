#include "zhost/settings/atomicfile.h"
#include "zhost/settings/dialogdata.h"
#include "zhost/settings/messages.h"
#include "zhost/settings/userstore.h"

#include "support/status.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace zhost::settings;

namespace {

// Collects what the module prints instead of writing it to standard output.
class CapturedPrints {
public:
    CapturedPrints() {
        setPrintHook([this](std::wstring_view text) { text_ += text; });
    }
    ~CapturedPrints() { setPrintHook({}); }
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

} // namespace

TEST(UserStore, ValuesSurviveARestart) {
    ztest::TempFolder dir;
    {
        UserStore store(dir.path(), UserStore::kFileName);
        EXPECT_FALSE(store.selectSection(L"ZORMA_CONT_TempValue"));
        EXPECT_TRUE(store.setInt(L"FreeLen", 1));
        EXPECT_TRUE(store.setString(L"Length", L"  125.5 mm\n"));
        store.selectSection(L"ZormaContCondDlg\\B1180.ini");
        EXPECT_TRUE(store.setInt("X", -40));
        EXPECT_TRUE(store.setString(L"名前=値", L"\"髙\""));
    }
    UserStore again(dir.path(), UserStore::kFileName);
    ASSERT_TRUE(again.selectSection(L"zorma_cont_tempvalue"));
    int freeLen = 0;
    std::wstring length;
    EXPECT_TRUE(again.getInt(L"FreeLen", freeLen));
    EXPECT_EQ(freeLen, 1);
    EXPECT_TRUE(again.getString(L"Length", length));
    EXPECT_EQ(length, L"  125.5 mm\n");
    ASSERT_TRUE(again.selectSection(L"ZormaContCondDlg\\B1180.ini"));
    int x = 0;
    EXPECT_TRUE(again.getInt("X", x));
    EXPECT_EQ(x, -40);
    std::wstring odd;
    EXPECT_TRUE(again.getString(L"名前=値", odd));
    EXPECT_EQ(odd, L"\"髙\"");
    EXPECT_FALSE(again.getString(L"Missing", odd));
}

TEST(UserStore, SelectingWithCreateKeepsAnEmptySection) {
    ztest::TempFolder dir;
    {
        UserStore store(dir.path(), UserStore::kFileName);
        EXPECT_TRUE(store.selectSection(L"ZORMA_HIDE", true));
    }
    UserStore again(dir.path(), UserStore::kFileName);
    EXPECT_TRUE(again.selectSection(L"ZORMA_HIDE"));
    EXPECT_EQ(again.keyCount(), 0u);
}

TEST(UserStore, TwoWritersOneAfterTheOtherLoseNothing) {
    ztest::TempFolder dir;
    UserStore first(dir.path(), UserStore::kFileName);
    UserStore second(dir.path(), UserStore::kFileName); // both read the empty store
    first.selectSection(L"ZORMA_GEOMALC");
    first.setString(L"specificGravity", L"7.85");
    ASSERT_OK(first.flush());
    second.selectSection(L"ZORMA_GEOMALC");
    second.setInt(L"TAB", 5);
    ASSERT_OK(second.flush());
    std::wstring gravity;
    EXPECT_TRUE(second.getString(L"specificGravity", gravity)); // merged in from the file
    UserStore third(dir.path(), UserStore::kFileName);
    third.selectSection(L"ZORMA_GEOMALC");
    int tab = 0;
    EXPECT_TRUE(third.getString(L"specificGravity", gravity));
    EXPECT_EQ(gravity, L"7.85");
    EXPECT_TRUE(third.getInt(L"TAB", tab));
    EXPECT_EQ(tab, 5);
}

TEST(UserStore, ConcurrentProcessesLoseNothing) {
    ztest::TempFolder dir;
    constexpr int kChildren = 4, kWrites = 10;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < kWrites; ++i) {
                UserStore store(dir.path(), UserStore::kFileName);
                store.selectSection(L"P" + std::to_wstring(c));
                store.setInt(L"K" + std::to_wstring(i), i);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    UserStore store(dir.path(), UserStore::kFileName);
    for (int c = 0; c < kChildren; ++c) {
        ASSERT_TRUE(store.selectSection(L"P" + std::to_wstring(c)));
        EXPECT_EQ(store.keyCount(), size_t(kWrites));
    }
}

TEST(UserStore, ALeftoverTemporaryFileDoesNotMatter) {
    ztest::TempFolder dir;
    {
        UserStore store(dir.path(), UserStore::kFileName);
        store.selectSection(L"S");
        store.setInt(L"A", 1);
    }
    // A crash between writing the temporary file and renaming it.
    dir.Write("user-settings.ini.tmp.99999.0", "[S]\nA=2\nhalf a li");
    UserStore store(dir.path(), UserStore::kFileName);
    store.selectSection(L"S");
    int a = 0;
    EXPECT_TRUE(store.getInt(L"A", a));
    EXPECT_EQ(a, 1);
    store.setInt(L"B", 2);
    ASSERT_OK(store.flush());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "user-settings.ini.tmp.99999.0"));
}

TEST(UserStore, AKilledWriterLeavesTheOldOrTheNewStore) {
    ztest::TempFolder dir;
    const std::wstring big(20000, L'v'); // makes each write take a moment
    {
        UserStore store(dir.path(), UserStore::kFileName); // the old content
        store.selectSection(L"S");
        store.setString(L"Big", big);
        store.setInt(L"Counter", -1);
    }
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0;; ++i) {
                UserStore store(dir.path(), UserStore::kFileName);
                store.selectSection(L"S");
                store.setString(L"Big", big);
                store.setInt(L"Counter", i);
            }
        }
        usleep(20000 + 7000 * round);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        UserStore store(dir.path(), UserStore::kFileName);
        EXPECT_TRUE(store.writable());
        ASSERT_TRUE(store.selectSection(L"S")) << "round " << round;
        std::wstring value;
        int counter = -1;
        EXPECT_TRUE(store.getString(L"Big", value));
        EXPECT_EQ(value, big);
        EXPECT_TRUE(store.getInt(L"Counter", counter));
        EXPECT_EQ(store.keyCount(), 2u);
    }
}

TEST(UserStore, AnUnreadableStoreIsLeftInPlaceWithOneWarning) {
    ztest::TempFolder dir;
    const std::string junk("\x00\x01\xFF\xFEjunk", 8);
    const auto file = dir.Write("user-settings.ini", junk);
    CapturedPrints prints;
    for (int i = 0; i < 3; ++i) {
        UserStore store(dir.path(), UserStore::kFileName);
        EXPECT_FALSE(store.writable());
        EXPECT_FALSE(store.selectSection(L"S"));
        EXPECT_TRUE(store.setInt(L"A", 1)); // kept for this object's lifetime
        int a = 0;
        EXPECT_TRUE(store.getInt(L"A", a));
    }
    EXPECT_EQ(ztest::ReadFile(file), junk);
    const std::wstring& text = prints.text();
    EXPECT_NE(text.find(L"warning"), std::wstring::npos);
    EXPECT_EQ(text.find(L"warning"), text.rfind(L"warning")); // once
}

TEST(AtomicFile, ReplacesContentAndFailsCleanlyInAMissingFolder) {
    ztest::TempFolder dir;
    const auto file = dir.path() / "f.txt";
    ASSERT_OK(writeFileAtomically(file, "one"));
    ASSERT_OK(writeFileAtomically(file, "two"));
    EXPECT_EQ(ztest::ReadFile(file), "two");
    EXPECT_EQ(writeFileAtomically(dir.path() / "no" / "f.txt", "x"), zhost::Status::fileError);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u); // no temporary file left behind
}

TEST(DialogData, PlacementAndValuesPersistPerDialog) {
    ztest::TempFolder dir;
    {
        DialogDataStore store(dir.path());
        EXPECT_TRUE(store.setPlacement(L"ZORMA_CONT_PartsSel", {10, 20, 640, 480}));
        EXPECT_TRUE(store.setString(L"ZORMA_CONT_PartsSel", L"Mask", L"B1*"));
        EXPECT_TRUE(store.setInt(L"PartsContents_Dlg", L"SelType", 2));
        EXPECT_FALSE(store.setString(L"PartsContents_Dlg", L"@X", L"1"));
    }
    DialogDataStore store(dir.path());
    WindowPlacement p;
    ASSERT_TRUE(store.getPlacement(L"zorma_cont_partssel", p));
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_FALSE(store.getPlacement(L"PartsContents_Dlg", p));
    std::wstring mask;
    EXPECT_TRUE(store.getString(L"ZORMA_CONT_PartsSel", L"Mask", mask));
    EXPECT_EQ(mask, L"B1*");
    int sel = 0;
    EXPECT_TRUE(store.getInt(L"PartsContents_Dlg", L"SelType", sel));
    EXPECT_EQ(sel, 2);
    EXPECT_FALSE(store.getString(L"PartsContents_Dlg", L"Mask", mask));
}
