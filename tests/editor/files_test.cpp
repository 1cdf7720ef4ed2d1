// NEW, OPEN, SAVE, QSAVE, SAVEAS and QUIT on real files: backups, formats, files that cannot be
// read or written, and the question before unsaved changes are lost.
#include "support/drawing.h"
#include "support/session.h"
#include "support/status.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/core/memory.h"
#include "zhost/core/utf.h"
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/document.h"
#include "zhost/editor/editor.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace zhost;

namespace {

class FileCommands : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::adoptDrawing(std::make_unique<db::Database>());
    }
    void TearDown() override {
        ed::closeDrawing();
        ed::resetSession();
    }
    ed::RunOutcome run(std::vector<std::wstring> lines) {
        return ztest::RunScript(std::move(lines));
    }
    std::wstring path(const char* name) const { return fromUtf8((Dir() / name).string()); }
    static int lines(const db::Database& d) { return ztest::EntityKinds(d)[L"LINE"]; }
    static int linesIn(const fs::path& file) {
        db::Database d;
        EXPECT_TRUE(ztest::ReadDrawing(file, d));
        return lines(d);
    }
    ztest::CapturedTranscript transcript;
};

} // namespace

TEST_F(FileCommands, SaveAsThenQsaveKeepThePreviousFileAsBak) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("part")}).ok());
    EXPECT_FALSE(ed::isDrawingModified());
    EXPECT_EQ(linesIn(Dir() / "part.dxf"), 1);
    ASSERT_TRUE(run({L"LINE", L"0,1", L"1,1", L"", L"QSAVE"}).ok());
    EXPECT_EQ(linesIn(Dir() / "part.dxf"), 2);
    EXPECT_EQ(linesIn(Dir() / "part.bak"), 1);
    // The save went through a temporary file that is gone now.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"part.bak", "part.dxf"}));
    std::wstring dwgName;
    ed::workingDatabase()->getString(L"DWGNAME", dwgName);
    EXPECT_EQ(dwgName, L"part.dxf");
}

TEST_F(FileCommands, SaveAsR2000WritesCodePage932AndQsaveKeepsTheFormat) {
    ASSERT_TRUE(run({L"TEXT", L"0,0", L"3", L"0", L"六角ボルト M10", L"SAVEAS", L"R2000",
                     path("jis.dxf"), L"LINE", L"0,0", L"5,5", L"", L"QSAVE"})
                    .ok());
    const std::string bytes = ztest::ReadFile(Dir() / "jis.dxf");
    EXPECT_NE(bytes.find("AC1015"), std::string::npos);
    EXPECT_NE(bytes.find("ANSI_932"), std::string::npos);
    db::Database back;
    dxf::ReadReport report;
    ASSERT_TRUE(ztest::ReadDrawing(Dir() / "jis.dxf", back, &report));
    EXPECT_EQ(report.codePage, 932);
    EXPECT_EQ(lines(back), 1);
    db::ObjectPtr<db::BlockTableRecord> ms(back.modelSpaceId(), db::OpenMode::forRead);
    db::ObjectPtr<db::Text> t(ms->entityIds().front(), db::OpenMode::forRead);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->textString(), L"六角ボルト M10");
}

TEST_F(FileCommands, OpenOfAMissingOrForeignFileKeepsTheCurrentDrawing) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L""}).ok());
    db::Database* before = ed::workingDatabase();
    Write("notes.dxf", "these are not the droids\n");
    ASSERT_TRUE(
        run({L"OPEN", path("missing.dxf"), L"OPEN", path("notes.dxf"), L"OPEN", Dir().wstring()})
            .ok());
    EXPECT_EQ(ed::workingDatabase(), before);
    EXPECT_EQ(lines(*before), 1);
    EXPECT_EQ(ztest::CountOf(toUtf8(transcript.text()), "The current drawing stays open."), 3);
}

TEST_F(FileCommands, OpenOfAnUnreadableFileKeepsTheCurrentDrawing) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L""}).ok());
    db::Database* before = ed::workingDatabase();
    ASSERT_TRUE(run({L"SAVEAS", L"", path("locked.dxf"), L"NEW"}).ok());
    ::chmod((Dir() / "locked.dxf").c_str(), 0);
    ASSERT_TRUE(run({L"OPEN", path("locked.dxf")}).ok());
    EXPECT_TRUE(transcript.Has(L"The current drawing stays open."));
    EXPECT_NE(ed::workingDatabase(), before);
}

// A drawing that would not fit in the memory left is refused before it is read, with what it
// needs; the drawing open stays, and so does the session.
TEST_F(FileCommands, OpenOfADrawingTooLargeForTheMemoryKeepsTheCurrentDrawing) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("big.dxf")}).ok());
    db::Database* before = ed::workingDatabase();
    const auto size = std::filesystem::file_size(Dir() / "big.dxf");
    struct Pretend {
        explicit Pretend(std::uintmax_t bytes) { setAvailableMemoryForTests(bytes); }
        ~Pretend() { setAvailableMemoryForTests(std::nullopt); }
    };
    {
        const Pretend tight(size * 3);
        ASSERT_TRUE(run({L"OPEN", path("big.dxf")}).ok());
    }
    EXPECT_TRUE(transcript.Has(L"too large to open: it needs about "));
    EXPECT_TRUE(transcript.Has(L" of memory and 1 MB are free. The current drawing stays open."));
    EXPECT_EQ(ed::workingDatabase(), before);
    // With room enough the same file opens.
    {
        const Pretend roomy(size * 100);
        ASSERT_TRUE(run({L"OPEN", path("big.dxf")}).ok());
    }
    EXPECT_NE(ed::workingDatabase(), before);
}

TEST_F(FileCommands, SaveAsWhereNothingCanBeWrittenLeavesTheDrawingUnsaved) {
    Write("plain.txt", "a file, not a folder\n");
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("plain.txt/x.dxf"),
                     L"SAVEAS", L"", L"/proc/zorma-cannot-write.dxf"})
                    .ok());
    EXPECT_EQ(ztest::CountOf(toUtf8(transcript.text()), "The drawing is not saved."), 2);
    EXPECT_TRUE(ed::isDrawingModified());
    EXPECT_TRUE(ed::workingDatabase()->filePath().empty());
    // QUIT still asks; Cancel stays, No leaves without saving.
    transcript.clear();
    ed::RunOutcome out = run({L"QUIT", L"C", L"REGEN"});
    EXPECT_EQ(out.kind, ed::RunOutcome::endOfInput);
    EXPECT_TRUE(transcript.Has(L"Save changes to Drawing1.dwg? [Yes/No/Cancel] <Yes>: "));
    out = run({L"QUIT", L"N"});
    EXPECT_EQ(out.kind, ed::RunOutcome::quit);
}

TEST_F(FileCommands, NewAndOpenAskBeforeDroppingChangesAndCanSaveFirst) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("a.dxf"), L"LINE", L"0,1",
                     L"1,1", L""})
                    .ok());
    ASSERT_TRUE(run({L"NEW", L"Cancel"}).ok());
    EXPECT_EQ(lines(*ed::workingDatabase()), 2); // still the same drawing
    ASSERT_TRUE(run({L"NEW", L"Y"}).ok());       // saved first, then a new drawing
    EXPECT_EQ(lines(*ed::workingDatabase()), 0);
    EXPECT_EQ(linesIn(Dir() / "a.dxf"), 2);
    EXPECT_FALSE(ed::isDrawingModified());
    ASSERT_TRUE(run({L"CIRCLE", L"0,0", L"1", L"OPEN", L"\"" + path("a.dxf") + L"\"", L"N"}).ok());
    EXPECT_EQ(lines(*ed::workingDatabase()), 2);
    EXPECT_EQ(ed::workingDatabase()->filePath(), fs::absolute(Dir() / "a.dxf").wstring());
    // An unchanged drawing is left without a question.
    transcript.clear();
    EXPECT_EQ(run({L"QUIT"}).kind, ed::RunOutcome::quit);
    EXPECT_FALSE(transcript.Has(L"Save changes"));
}

TEST_F(FileCommands, SaveAsAsksBeforeReplacingAnotherDrawing) {
    Write("other.dxf", "0\nEOF\n");
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("other.dxf"), L""}).ok());
    EXPECT_EQ(ztest::ReadFile(Dir() / "other.dxf"), "0\nEOF\n");
    ASSERT_TRUE(run({L"SAVEAS", L"", path("other.dxf"), L"Y"}).ok());
    EXPECT_EQ(linesIn(Dir() / "other.dxf"), 1);
}

TEST_F(FileCommands, AJapaneseFileNameIsSavedAndSavedAgainUnderItself) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"", L"SAVEAS", L"", path("部品図"), L"LINE", L"0,1",
                     L"1,1", L"", L"QSAVE"})
                    .ok());
    EXPECT_EQ(linesIn(Dir() / "部品図.dxf"), 2);
    EXPECT_EQ(linesIn(Dir() / "部品図.bak"), 1);
    EXPECT_FALSE(ed::isDrawingModified());
}
