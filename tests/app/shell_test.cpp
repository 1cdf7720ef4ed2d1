// The shell as a person at a terminal meets it, on a pseudo-terminal: typing Japanese and editing
// over it, pasting several lines, mistakes that return to the prompt, Ctrl-D, function keys, and
// the drawing saved at the end. And the shell fed by a pipe.
#include "support/drawing.h"
#include "support/pty.h"
#include "support/zorma_run.h"

#include "zhost/db/database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using ztest::ExitsWith;
using ztest::Prints;

namespace {

constexpr const char* kLeft = "\x1b[D";
constexpr const char* kCtrlD = "\x04";

class Shell : public ztest::ScenarioTest {
protected:
    void SetUp() override {
        // A drawing with a Japanese name to insert as a block: its name reaches the saved
        // drawing only when every character was typed and read right.
        part_ = Dir() / "部品.dxf";
        fs::copy_file(ztest::SampleDrawing("plate.dxf"), part_);
    }

    // Starts `zorma shell` on a new terminal, with a new drawing saved to result_.saved.
    std::unique_ptr<ztest::PtyProcess> Start(bool save = true) {
        const ztest::ZormaRun run{.addon = ztest::kNoAddon, .save = save, .command = "shell"};
        auto shell =
            std::make_unique<ztest::PtyProcess>(ztest::ZormaCommandLine(run, Dir(), result_));
        EXPECT_TRUE(shell->Started());
        EXPECT_TRUE(shell->WaitFor("Command: ")) << shell->Output();
        return shell;
    }

    // Types an insertion of the part at x,0 and waits for the next command prompt.
    void InsertPart(ztest::PtyProcess& shell, int x) {
        shell.Type("-BMINSERT\r");
        ASSERT_TRUE(shell.WaitFor("Enter drawing file to insert: ")) << shell.Unmatched();
        shell.Type(part_.string() + "\r");
        ASSERT_TRUE(shell.WaitFor("Specify insertion point")) << shell.Unmatched();
        shell.Type(std::to_string(x) + ",0\r");
        ASSERT_TRUE(shell.WaitFor("Command: ")) << shell.Unmatched();
    }

    // The block references in the saved drawing, -1 when it was not saved.
    int SavedInserts() {
        zhost::db::Database saved;
        if (result_.saved.empty() || !fs::exists(result_.saved) ||
            !ztest::ReadDrawing(result_.saved, saved))
            return -1;
        zhost::db::ObjectId block;
        EXPECT_EQ(saved.getBlockId(L"部品", block), zhost::Status::ok);
        return ztest::EntityKinds(saved)[L"INSERT"];
    }

    fs::path part_;
    ztest::ZormaResult result_;
};

} // namespace

TEST_F(Shell, JapaneseIsTypedAndEditedOverWideCharacters) {
    auto shell = Start();
    shell->Type("-BMINSERT\r");
    ASSERT_TRUE(shell->WaitFor("Enter drawing file to insert: "));
    // "部品x.dxf", one byte at a time as a slow terminal sends it; then the x is taken out.
    for (const char c : (Dir() / "部品x.dxf").string())
        shell->Type(std::string(1, c));
    for (int i = 0; i < 4; ++i)
        shell->Type(kLeft);
    ASSERT_TRUE(shell->WaitFor("\x1b[4D")); // the cursor stands before ".dxf"
    shell->Type("\x7f");
    shell->Type(kLeft);
    // Now before "品.dxf": six columns from the end, as 品 takes two.
    ASSERT_TRUE(shell->WaitFor("\x1b[6D")) << shell->Unmatched();
    shell->Type("\x1b[F\r");
    ASSERT_TRUE(shell->WaitFor("Specify insertion point")) << shell->Unmatched();
    shell->Type("0,0\r");
    ASSERT_TRUE(shell->WaitFor("Command: "));
    shell->Type(kCtrlD);
    EXPECT_EQ(shell->Finish(), 0) << shell->Output();
    EXPECT_THAT(shell->Output(), Not(HasSubstr("\xEF\xBF\xBD"))); // no U+FFFD anywhere
    EXPECT_EQ(SavedInserts(), 1);
}

TEST_F(Shell, PastedLinesAreAllAnswered) {
    auto shell = Start();
    const std::string p = part_.string();
    shell->Type("-BMINSERT\r" + p + "\r0,0\r-BMINSERT\r" + p + "\r200,0\r-BMINSERT\r" + p +
                "\r400,0\r");
    ASSERT_TRUE(shell->WaitFor("400,0"));
    ASSERT_TRUE(shell->WaitFor("Command: ")) << shell->Unmatched();
    shell->Type(kCtrlD);
    EXPECT_EQ(shell->Finish(), 0) << shell->Output();
    EXPECT_EQ(SavedInserts(), 3);
}

TEST_F(Shell, MistakesReturnToThePromptAndTheWorkIsKept) {
    auto shell = Start();
    InsertPart(*shell, 0);
    shell->Type("REGOIN\r");
    ASSERT_TRUE(shell->WaitFor("Unknown command \"REGOIN\""));
    shell->Type("@frobnicate\r");
    ASSERT_TRUE(shell->WaitFor("unknown directive @frobnicate"));
    shell->Type("@dialog click ok\r");
    ASSERT_TRUE(shell->WaitFor("no dialog is open"));
    shell->Type("@pick not,a,point\r");
    ASSERT_TRUE(shell->WaitFor("point expected"));
    ASSERT_TRUE(shell->WaitFor("Command: "));
    InsertPart(*shell, 200);
    // QUIT asks about the drawing's own file; the session's output is written anyway.
    shell->Type("QUIT\r");
    ASSERT_TRUE(shell->WaitFor("Save changes to")) << shell->Unmatched();
    shell->Type("N\r");
    EXPECT_EQ(shell->Finish(), 0) << shell->Output();
    EXPECT_EQ(SavedInserts(), 2);
}

TEST_F(Shell, CtrlDCancelsAWaitingPromptAndEndsAtTheCommandPrompt) {
    auto shell = Start();
    InsertPart(*shell, 0);
    shell->Type("-BMINSERT\r");
    ASSERT_TRUE(shell->WaitFor("Enter drawing file to insert: "));
    shell->Type(kCtrlD);
    ASSERT_TRUE(shell->WaitFor("*Cancel*"));
    ASSERT_TRUE(shell->WaitFor("Command: "));
    // Ctrl-D in a non-empty line deletes under the cursor instead: "REGENX" loses its X.
    shell->Type(std::string("REGENX") + kLeft + kCtrlD + "\r");
    ASSERT_TRUE(shell->WaitFor("Regenerating model.")) << shell->Unmatched();
    ASSERT_TRUE(shell->WaitFor("Command: "));
    shell->Type(kCtrlD);
    EXPECT_EQ(shell->Finish(), 0) << shell->Output();
    EXPECT_EQ(SavedInserts(), 1);
}

TEST_F(Shell, FunctionKeysAreRecognisedAndF1Helps) {
    auto shell = Start();
    shell->Type("\x1bOP"); // F1
    ASSERT_TRUE(shell->WaitFor("REGION"));
    ASSERT_TRUE(shell->WaitFor("script.md"));
    // F5, Ctrl+Right, Insert and Page Down land nowhere in the line.
    shell->Type("RE\x1b[15~GE\x1b[1;5C\x1b[2~N\x1b[6~\r");
    ASSERT_TRUE(shell->WaitFor("Regenerating model.")) << shell->Unmatched();
    ASSERT_TRUE(shell->WaitFor("Command: "));
    shell->Type(kCtrlD);
    EXPECT_EQ(shell->Finish(), 0);
    EXPECT_THAT(shell->Output(), Not(HasSubstr("Unknown command")));
    // Nothing changed the drawing, so nothing was written.
    EXPECT_EQ(SavedInserts(), -1);
}

TEST_F(Shell, WithoutAnOutputItSaysAtOnceThatNothingWillBeSaved) {
    auto shell = Start(false);
    EXPECT_THAT(shell->Output(), HasSubstr("Nothing will be saved"));
    InsertPart(*shell, 0);
    shell->Type(kCtrlD);
    EXPECT_EQ(shell->Finish(), 0);
}

TEST_F(Shell, APipedSessionIsEchoedAndKeepsItsWork) {
    const std::string p = part_.string();
    const ztest::ZormaResult r =
        Run({.addon = ztest::kNoAddon,
             .process = {.input = "REGOIN\n@frobnicate\n-BMINSERT\n" + p + "\n0,0\nREGEN\n"},
             .command = "shell"});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("Command: REGOIN\n"));
    EXPECT_THAT(r, Prints("Enter drawing file to insert: " + p + "\n"));
    EXPECT_THAT(r, Prints("Regenerating model."));
    result_ = r;
    EXPECT_EQ(SavedInserts(), 1);

    // The pipe ending inside a command cancels it; what was done before is saved.
    const ztest::ZormaResult cut =
        Run({.addon = ztest::kNoAddon,
             .process = {.input = "-BMINSERT\n" + p + "\n0,0\n-BMINSERT\n"},
             .command = "shell"});
    EXPECT_THAT(cut, ExitsWith(0));
    EXPECT_THAT(cut.err, HasSubstr("that command was cancelled"));
    result_ = cut;
    EXPECT_EQ(SavedInserts(), 1);
}
