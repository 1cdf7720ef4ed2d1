// The child-process runner: what reaches the program, what comes back, and children that hang,
// crash or cannot start.
#include "support/process.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using ::testing::Not;
using ztest::RunProcess;

TEST(RunProcess, ArgumentsReachTheProgramUnchanged) {
    const std::vector<std::string> args = {"a b", "it's", "$HOME", "; rm -rf x", "図面 1.dxf", ""};
    std::vector<std::string> argv = {"/usr/bin/printf", "<%s>"};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = RunProcess(argv);
    EXPECT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(r.out, "<a b><it's><$HOME><; rm -rf x><図面 1.dxf><>");
}

TEST(RunProcess, TheCommandLineCanBePastedIntoAShell) {
    const auto r = RunProcess({"/usr/bin/printf", "<%s>", "a b", "it's", "$(x)", "é", "-v"});
    // The shown command line, run by a shell, gives the program the same arguments.
    const auto again = RunProcess({"/bin/sh", "-c", r.CommandLine()});
    EXPECT_EQ(again.out, r.out) << r.CommandLine();
    EXPECT_EQ(r.out, "<a b><it's><$(x)><é><-v>");
}

TEST(RunProcess, OutputAndErrorAreKeptApartAndTogether) {
    const auto r =
        RunProcess({"/bin/sh", "-c", "echo one; echo two >&2; sleep 0.1; echo three; exit 3"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "one\nthree\n");
    EXPECT_EQ(r.err, "two\n");
    EXPECT_EQ(r.transcript, "one\ntwo\nthree\n");
    EXPECT_EQ(r.Ending(), "exit status 3");
}

TEST(RunProcess, InputTextIsFedAndLargeInputDoesNotDeadlock) {
    EXPECT_EQ(RunProcess({"/bin/cat"}, {.input = "REGEN\n図面\n"}).out, "REGEN\n図面\n");
    // More than a pipe holds in both directions at once: the runner must read while it writes.
    std::string big;
    for (int i = 0; i < 40000; ++i)
        big += "line " + std::to_string(i) + "\n";
    const auto r = RunProcess({"/bin/cat"}, {.input = big});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.size(), big.size());
    EXPECT_TRUE(r.out == big);
}

TEST(RunProcess, WithoutInputTheChildReadsAnEmptyInput) {
    const auto r = RunProcess({"/bin/cat"}, {.timeout = std::chrono::seconds(20)});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}

TEST(RunProcess, AChildThatIgnoresItsInputDoesNotHurtTheTest) {
    std::string big(1 << 20, 'x');
    const auto r = RunProcess({"/bin/true"}, {.input = big});
    EXPECT_EQ(r.exitCode, 0);
}

TEST(RunProcess, AHangingChildIsKilledAtTheTimeout) {
    const auto r = RunProcess({"/bin/sleep", "60"}, {.timeout = std::chrono::milliseconds(200)});
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.exitCode, -1);
    EXPECT_THAT(r.Ending(), HasSubstr("timeout"));
}

TEST(RunProcess, ACrashIsReportedWithItsSignal) {
    const auto r = RunProcess({"/bin/sh", "-c", "echo before; kill -SEGV $$"});
    EXPECT_EQ(r.signal, 11);
    EXPECT_EQ(r.exitCode, -1);
    EXPECT_THAT(r.Ending(), HasSubstr("signal 11"));
    EXPECT_EQ(r.out, "before\n");
}

TEST(RunProcess, AMissingProgramIsReportedNotRun) {
    const auto r = RunProcess({"/nonexistent/zorma", "run"});
    EXPECT_THAT(r.spawnError, HasSubstr("/nonexistent/zorma"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_THAT(r.Ending(), HasSubstr("not started"));
    EXPECT_THAT(RunProcess({}).spawnError, Not(::testing::IsEmpty()));
}

TEST(RunProcess, EnvironmentIsSetAndRemovedOnTopOfTheTests) {
    ::setenv("ZTEST_GONE", "1", 1);
    const auto r =
        RunProcess({"/usr/bin/env"}, {.env = {{"ZTEST_SET", "値 1"}, {"ZTEST_GONE", ""}}});
    ::unsetenv("ZTEST_GONE");
    EXPECT_THAT(r.out, HasSubstr("\nZTEST_SET=値 1\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("ZTEST_GONE")));
    EXPECT_THAT(r.out, HasSubstr("PATH="));
}

TEST(RunProcess, RunsInTheGivenFolder) {
    ztest::TempFolder folder;
    const auto inside = folder.MakeFolder("作業 folder");
    const auto r = RunProcess({"/bin/pwd", "-P"}, {.workDir = inside});
    EXPECT_EQ(r.out, std::filesystem::canonical(inside).string() + "\n");
}

TEST(ProcessResult, TailKeepsTheLastLines) {
    ztest::ProcessResult r;
    r.transcript = "1\n2\n3\n4\n";
    EXPECT_EQ(r.Tail(2), "[...]\n3\n4\n");
    EXPECT_EQ(r.Tail(4), "1\n2\n3\n4\n");
    EXPECT_EQ(r.Tail(10), "1\n2\n3\n4\n");
    r.transcript = "no end";
    EXPECT_EQ(r.Tail(1), "no end");
}

TEST(ProcessResult, PrintingShowsCommandEndingAndTail) {
    std::string script;
    for (int i = 1; i <= 100; ++i)
        script += "echo line" + std::to_string(i) + ";";
    const auto r = RunProcess({"/bin/sh", "-c", script + "exit 4"});
    const std::string shown = ::testing::PrintToString(r);
    EXPECT_THAT(shown, HasSubstr("$ /bin/sh -c"));
    EXPECT_THAT(shown, HasSubstr("exit status 4"));
    EXPECT_THAT(shown, HasSubstr("line100\n"));
    EXPECT_THAT(shown, HasSubstr("line80\n"));
    EXPECT_THAT(shown, Not(HasSubstr("line20\n")));
}
