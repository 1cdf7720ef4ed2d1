// The session: the drawing, the input source and the command loop.
#include "answers.h"
#include "editor_state.h"
#include "entity_index.h"
#include "host_commands.h"
#include "input_parse.h"
#include "picking.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/rx/commands.h"

#include <exception>
#include <new>

namespace zhost::ed {

using detail::Answer;
using detail::state;

db::Database* workingDatabase() {
    return state().database;
}

void setWorkingDatabase(db::Database* d) {
    state().database = d;
    // What is kept of the previous drawing cannot tell it from a new one at the same address.
    detail::dropSpatialIndex();
    detail::forgetBlockBoxes();
    clearScreenState();
    state().pickFirst.clear();
}

db::ObjectId currentSpaceId() {
    db::Database* d = state().database;
    return d ? d->modelSpaceId() : db::ObjectId();
}

void setInputSource(InputSource* source) {
    state().input = source;
}
InputSource* inputSource() {
    return state().input;
}

bool isCommandActive() {
    return state().commandDepth > 0;
}
std::wstring activeCommandName() {
    return state().activeCommand;
}

namespace detail {

namespace {

// What an exception that escaped a command says, for the command line.
std::wstring describe(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        return L"out of memory";
    } catch (const std::exception& x) {
        return fromUtf8(x.what());
    } catch (...) {
        return L"an unknown error";
    }
}

} // namespace

void executeCommand(const rx::CommandEntry& entry) {
    auto& s = state();
    ensureHostCommands();
    if (s.commandDepth == 0)
        s.activeCommand = entry.globalName;
    ++s.commandDepth;
    // One command, one undo step: the outermost command's group covers the host commands it
    // calls. Copy the function first: a command may unregister itself.
    const rx::CommandFunction fn = entry.function;
    const int flags = entry.flags;
    db::Database* d = s.database;
    const bool grouped = d && !(flags & rx::cmd::kNoUndoMarker);
    if (grouped)
        d->beginUndoGroup();
    std::exception_ptr escaped;
    try {
        fn();
    } catch (...) {
        // An exception must not end the session and take the user's drawing with it: the
        // command is stopped here, said to have failed, and what it half did is taken back.
        escaped = std::current_exception();
    }
    if (grouped)
        d->endUndoGroup();
    --s.commandDepth;
    if (escaped) {
        s.commandFailed = true;
        const bool outermost = s.commandDepth == 0;
        const bool takeBack = grouped && outermost && s.database == d && d->isUndoRecording();
        if (takeBack)
            d->undo(1);
        print(L"\n" + entry.globalName + L" stopped by an internal error (" + describe(escaped) +
              L")." + (takeBack ? L" Its changes were taken back." : L""));
    }
    if (s.commandDepth == 0) {
        s.activeCommand.clear();
        s.initPending = false;
        // The pick-first set is used up by the command that ran, as on the platform.
        setPickFirst(nullptr);
    }
}

} // namespace detail

Result runCommand(std::wstring_view name) {
    detail::ensureHostCommands();
    const rx::CommandEntry* entry = rx::commandStack().lookup(detail::trim(name));
    if (!entry)
        return Result::error;
    const rx::CommandEntry copy = *entry;
    detail::executeCommand(copy);
    return Result::normal;
}

namespace {

void addToPickFirst(const std::vector<db::ObjectId>& ids) {
    SelectionSet current;
    getPickFirst(current);
    for (db::ObjectId id : ids)
        current.add(id);
    setPickFirst(&current);
}

// Answers that select at the command prompt build the pick-first set, as clicking on entities
// does before a command.
void selectAtCommandPrompt(const Answer& a) {
    SelectionSet ss;
    Result r = Result::error;
    switch (a.kind) {
    case Answer::all:
        r = ss.select(L"X");
        break;
    case Answer::last:
        r = ss.select(L"L");
        break;
    case Answer::window:
        r = ss.select(L"W", &a.p1, &a.p2);
        break;
    case Answer::crossing:
        r = ss.select(L"C", &a.p1, &a.p2);
        break;
    case Answer::cancel:
        // Escape at the command prompt lets go of what was selected for the next command.
        setPickFirst(nullptr);
        return;
    case Answer::pick: {
        const auto hits = entitiesAtPoint(ucsToWcs(a.p1), pickAperture());
        if (!hits.empty()) {
            ss.add(hits.front());
            r = Result::normal;
        }
        break;
    }
    default:
        return;
    }
    if (r == Result::normal)
        addToPickFirst(ss.ids());
}

} // namespace

RunOutcome runCommandLoop(InputSource& source) {
    auto& s = state();
    detail::ensureHostCommands();
    InputSource* previous = s.input;
    s.input = &source;
    s.scriptError = false;
    s.inputEndedInPrompt = false;
    s.quitRequested = false;
    s.scriptErrorInDialog = false;
    s.swallowNextNewline = true; // the first prompt needs no empty line before it
    RunOutcome out;
    while (true) {
        const Answer a = detail::readAnswer(L"\nCommand: ");
        if (s.scriptError) {
            out.kind = RunOutcome::scriptError;
            break;
        }
        if (a.kind == Answer::end) {
            s.inputEndedInPrompt = false;
            out.kind = RunOutcome::endOfInput;
            break;
        }
        if (a.kind != Answer::typed) {
            selectAtCommandPrompt(a);
            continue;
        }
        const std::wstring name(detail::trim(a.text));
        const rx::CommandEntry* entry = rx::commandStack().lookup(name);
        if (!entry) {
            printf(L"Unknown command \"%s\".  Press F1 for help.", toUpperName(name));
            detail::endEchoLine();
            if (out.unknownCommands++ == 0)
                out.firstUnknownLine = a.lineNumber;
            continue;
        }
        const rx::CommandEntry copy = *entry;
        s.commandFailed = false;
        s.cancelSeen = false;
        detail::executeCommand(copy);
        if (s.commandFailed && !s.cancelSeen && !s.scriptError && !s.inputEndedInPrompt) {
            if (out.failedCommands++ == 0)
                out.firstFailedCommandLine = a.lineNumber;
        }
        s.commandFailed = false;
        if (s.scriptError) {
            out.kind = RunOutcome::scriptError;
            break;
        }
        if (s.inputEndedInPrompt) {
            out.kind = RunOutcome::inputEndedInPrompt;
            out.waitingPrompt = s.waitingPrompt;
            break;
        }
        if (s.quitRequested) {
            out.kind = RunOutcome::quit;
            break;
        }
    }
    if (out.kind == RunOutcome::scriptError) {
        out.message = s.scriptErrorMessage;
        out.lineNumber = s.scriptErrorLine;
        out.dialogLineFailed = s.scriptErrorInDialog;
    }
    s.input = previous;
    return out;
}

void resetSession() {
    auto& s = state();
    s.pushedBack.clear();
    s.initPending = false;
    s.initFlags = 0;
    s.initKeywords.clear();
    s.lastInput.clear();
    s.hasLastInput = false;
    s.frames.clear();
    s.commandDepth = 0;
    s.activeCommand.clear();
    s.inputEndedInPrompt = false;
    s.scriptError = false;
    s.scriptErrorInDialog = false;
    s.quitRequested = false;
    s.commandFailed = false;
    s.cancelSeen = false;
    s.pickFirst.clear();
    s.shift = false;
    s.ucs = Ucs();
    s.lastPoint = geom::Point3d();
    s.swallowNextNewline = false;
    clearScreenState();
    resetSessionVars();
    hostClock().reset();
}

} // namespace zhost::ed
