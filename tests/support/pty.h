#pragma once
// Running a program on a pseudo-terminal, as a person at a terminal runs it: keys typed (escape
// sequences, pasted blocks, Ctrl-D), output waited for, then the exit status. For the shell's
// line editing, which only a real terminal exercises.
//
//   ztest::PtyProcess shell(ztest::ZormaCommandLine(run, Dir(), result));
//   ASSERT_TRUE(shell.WaitFor("Command: "));
//   shell.Type("REGEN\r");
//   ASSERT_TRUE(shell.WaitFor("Regenerating model."));
//   shell.Type("\x04");                  // Ctrl-D at the command prompt ends the session
//   EXPECT_EQ(shell.Finish(), 0);
#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace ztest {

class PtyProcess {
public:
    // Starts argv[0] (a path) with the arguments on a new terminal of 120 x 40 characters.
    explicit PtyProcess(std::vector<std::string> argv);
    ~PtyProcess(); // a child still running is killed
    PtyProcess(const PtyProcess&) = delete;
    PtyProcess& operator=(const PtyProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Writes the bytes as typed (or pasted, when several lines go in one call).
    void Type(std::string_view bytes);
    // Reads output until `text` appears after the end of the previous match; false on timeout or
    // when the program ended first.
    bool WaitFor(std::string_view text,
                 std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Waits for the program to end (reading what it still writes); its exit status, or -1 when it
    // was killed by a signal or after the timeout.
    int Finish(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Everything the terminal showed so far (raw bytes, escape sequences included).
    const std::string& Output() const { return output_; }
    // The output since the end of the previous match.
    std::string Unmatched() const { return output_.substr(matched_); }

private:
    bool ReadSome(std::chrono::milliseconds wait); // false when the terminal closed

    pid_t pid_ = -1;
    int master_ = -1;
    bool closed_ = false;
    std::string output_;
    size_t matched_ = 0;
};

} // namespace ztest
