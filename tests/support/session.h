#pragma once
// Driving the host's editor inside the test's own process, for tests of commands and dialogs that
// do not need the zorma program: the transcript captured, script lines queued as answers, and a
// whole script run through the command loop. Header only, so that it links against whichever
// host the test program uses (the module libraries or libzhost.so).
//
//   ztest::CapturedTranscript transcript;
//   const zhost::ed::RunOutcome outcome = ztest::RunScript({L"UI_PICK", L"@dialog click ok"});
//   EXPECT_TRUE(outcome.ok()) << outcome;
//   EXPECT_TRUE(transcript.Has(L"result 1"));
#include "zhost/core/utf.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

// Everything the editor prints, for the life of the object.
class CapturedTranscript {
public:
    CapturedTranscript() {
        zhost::ed::setTranscriptSink([this](std::wstring_view t) { text_ += t; });
    }
    ~CapturedTranscript() { zhost::ed::setTranscriptSink({}); }
    CapturedTranscript(const CapturedTranscript&) = delete;
    CapturedTranscript& operator=(const CapturedTranscript&) = delete;

    const std::wstring& text() const { return text_; }
    bool Has(std::wstring_view part) const { return text_.find(part) != std::wstring::npos; }
    void clear() { text_.clear(); }

private:
    std::wstring text_;
};

// Script lines as the editor's input (the answers of the next prompts), for the life of the
// object.
class QueuedInput {
public:
    explicit QueuedInput(std::vector<std::wstring> lines)
        : source_(zhost::ed::makeQueue(std::move(lines))) {
        zhost::ed::setInputSource(source_.get());
    }
    ~QueuedInput() { zhost::ed::setInputSource(nullptr); }
    QueuedInput(const QueuedInput&) = delete;
    QueuedInput& operator=(const QueuedInput&) = delete;

    zhost::ed::InputSource& source() { return *source_; }

private:
    std::unique_ptr<zhost::ed::InputSource> source_;
};

// Runs the lines through the command loop as `zorma run` runs a script file.
inline zhost::ed::RunOutcome RunScript(std::vector<std::wstring> lines) {
    QueuedInput input(std::move(lines));
    return zhost::ed::runCommandLoop(input.source());
}

} // namespace ztest

namespace zhost::ed {

// How a run ended, for assertion messages: EXPECT_TRUE(outcome.ok()) << outcome.
inline std::ostream& operator<<(std::ostream& os, const RunOutcome& o) {
    switch (o.kind) {
    case RunOutcome::endOfInput:
        return os << "the input ended at the command prompt";
    case RunOutcome::quit:
        return os << "QUIT";
    case RunOutcome::inputEndedInPrompt:
        return os << "the input ended at the prompt \"" << zhost::toUtf8(o.waitingPrompt) << "\"";
    case RunOutcome::scriptError:
        return os << "script error at line " << o.lineNumber << ": " << zhost::toUtf8(o.message);
    }
    return os;
}

} // namespace zhost::ed
