// Diagnostics: the details a status cannot carry reach the sink in order, and each thread keeps
// its own last one for its callers.
#include "zhost/core/diagnostics.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using zhost::Diagnostic;

TEST(Diagnostics, TheLastOneIsKeptUntilCleared) {
    zhost::clearLastDiagnostic();
    EXPECT_EQ(zhost::lastDiagnostic().message, "");
    zhost::reportDiagnostic({"kernel", "unite", "first"});
    zhost::reportDiagnostic({"kernel", "subtract", "second"});
    EXPECT_EQ(zhost::lastDiagnostic().operation, "subtract");
    EXPECT_EQ(zhost::lastDiagnostic().message, "second");
    zhost::clearLastDiagnostic();
    EXPECT_EQ(zhost::lastDiagnostic().source, "");
}

TEST(Diagnostics, TheSinkSeesEveryOneAndIsRestoredByItsReplacement) {
    std::vector<std::string> outer, inner;
    auto before =
        zhost::setDiagnosticSink([&](const Diagnostic& d) { outer.push_back(d.message); });
    zhost::reportDiagnostic({"kernel", "a", "1"});
    auto previous =
        zhost::setDiagnosticSink([&](const Diagnostic& d) { inner.push_back(d.message); });
    zhost::reportDiagnostic({"kernel", "b", "2"});
    zhost::setDiagnosticSink(std::move(previous));
    zhost::reportDiagnostic({"kernel", "c", "3"});
    zhost::setDiagnosticSink(std::move(before));
    zhost::reportDiagnostic({"kernel", "d", "4"}); // nowhere, or to the sink of before
    EXPECT_EQ(outer, (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(inner, (std::vector<std::string>{"2"}));
}

TEST(Diagnostics, EachThreadHasItsOwnLastOne) {
    zhost::clearLastDiagnostic();
    zhost::reportDiagnostic({"kernel", "main", "mine"});
    std::string seenInThread;
    std::thread t([&] {
        seenInThread = zhost::lastDiagnostic().message;
        zhost::reportDiagnostic({"kernel", "worker", "theirs"});
    });
    t.join();
    EXPECT_EQ(seenInThread, "");
    EXPECT_EQ(zhost::lastDiagnostic().message, "mine");
}

TEST(Diagnostics, OneLineNamesSourceOperationAndMessage) {
    EXPECT_EQ(zhost::toString(Diagnostic{"kernel", "unite", "BOPAlgo_AlertBuilderFailed"}),
              "kernel: unite: BOPAlgo_AlertBuilderFailed");
    EXPECT_EQ(zhost::toString(Diagnostic{"kernel", "", "x"}), "kernel: x");
    EXPECT_EQ(zhost::toString(Diagnostic{}), "diagnostic: (no message)");
}
