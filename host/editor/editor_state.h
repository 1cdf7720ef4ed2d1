#pragma once
// The editor's session state, shared by the editor's source files. One instance per process (the
// platform has one active document); everything here is reset by resetSession().
#include "zhost/db/object_id.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/display.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/ucs.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zhost::db {
class Database;
}

namespace zhost::ed::detail {

// The answers of one host command call (ed::command): taken in order by the command's prompts.
struct CallFrame {
    std::vector<CommandArg> args;
    size_t next = 1;      // args[0] is the command name
    bool starved = false; // a prompt asked for more than was given
    bool echo = false;    // CMDECHO was 1 when the call started
    bool failed = false;  // the command reported a failure
};

struct EditorState {
    db::Database* database = nullptr;
    InputSource* input = nullptr;
    std::deque<InputLine> pushedBack;

    // initGet for the next prompt.
    int initFlags = 0;
    std::wstring initKeywords;
    bool initPending = false;
    // The keyword (global name) or arbitrary text of the last keyword answer.
    std::wstring lastInput;
    bool hasLastInput = false;

    // Host command calls in progress, innermost last.
    std::vector<CallFrame> frames;

    // Command loop.
    int commandDepth = 0;
    std::wstring activeCommand;
    bool inputEndedInPrompt = false;
    std::wstring waitingPrompt;
    bool scriptError = false;
    std::wstring scriptErrorMessage;
    int scriptErrorLine = 0;
    bool scriptErrorInDialog = false; // the stopping line was refused by an open dialog
    // The input cancelled a prompt since the command started (its failure is then no fault).
    bool cancelSeen = false;
    bool quitRequested = false;
    // A failure the running host command reports to its caller (the command call's error).
    bool commandFailed = false;

    // Screen.
    std::set<db::ObjectId> hidden;
    std::uint64_t hiddenSerial = 0; // bumped when `hidden` changes
    std::set<db::ObjectId> highlighted;
    std::vector<db::ObjectId> pickFirst;
    bool shift = false;
    View view;
    std::vector<View> previousViews; // oldest first, at most ten
    ViewRequest viewRequest;
    std::uint64_t viewRequestSerial = 0;
    Ucs ucs;
    geom::Point3d lastPoint;

    // Transcript.
    TranscriptSink sink;
    bool swallowNextNewline = false;
};

EditorState& state();

// The drawing or nullptr; commands that need one print a message when it is missing.
db::Database* db();

// True when the innermost host command call echoes (CMDECHO was 1); always true outside calls.
bool echoOn();

} // namespace zhost::ed::detail
