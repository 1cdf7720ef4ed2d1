// Answers for prompts: command-call arguments, script lines and directives.
#include "answers.h"

#include "editor_state.h"
#include "input_parse.h"

#include "zhost/core/utf.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"

#include <map>

namespace zhost::ed {
namespace detail {
namespace {

std::map<std::wstring, DirectiveHandler>& directives() {
    static std::map<std::wstring, DirectiveHandler> m;
    return m;
}

const wchar_t* const kBuiltins[] = {L"PICK", L"ALL",   L"LAST", L"WINDOW", L"CROSSING",
                                    L"MOVE", L"SHIFT", L"WAIT", L"SET",    L"ECHO"};

bool isBuiltin(std::wstring_view upperName) {
    for (const wchar_t* b : kBuiltins)
        if (upperName == b)
            return true;
    return false;
}

std::wstring formatNumber(double d) {
    std::wstring s = rToS(d, units::decimal, 6);
    if (s.find(L'.') != std::wstring::npos) {
        while (!s.empty() && s.back() == L'0')
            s.pop_back();
        if (!s.empty() && s.back() == L'.')
            s.pop_back();
    }
    return s;
}

std::wstring pointText(const geom::Point3d& p) {
    std::wstring s = formatNumber(p.x) + L"," + formatNumber(p.y);
    if (p.z != 0)
        s += L"," + formatNumber(p.z);
    return s;
}

bool interactiveInput() {
    auto& s = state();
    return s.input && s.input->interactive();
}

// A line the script language does not allow stops a script: what follows it was written for a
// state the script no longer is in. A person at a terminal is told and asked again instead.
void stopScript(const InputLine& line, std::wstring message, bool inDialog = false) {
    auto& s = state();
    if (interactiveInput()) {
        print(L"\n" + message + L"\n");
        s.swallowNextNewline = true;
        return;
    }
    s.scriptError = true;
    s.scriptErrorLine = line.lineNumber;
    s.scriptErrorMessage = std::move(message);
    s.scriptErrorInDialog = inDialog;
}

bool readRawLine(std::wstring_view prompt, InputLine& out) {
    auto& s = state();
    if (!s.pushedBack.empty()) {
        out = std::move(s.pushedBack.front());
        s.pushedBack.pop_front();
        return true;
    }
    return s.input && s.input->readLine(prompt, out);
}

// The prompt text as the terminal shows it: the part after the last line break (what comes
// before is printed to the transcript).
std::wstring_view lastPromptLine(std::wstring_view prompt) {
    const size_t nl = prompt.rfind(L'\n');
    return nl == std::wstring_view::npos ? prompt : prompt.substr(nl + 1);
}

// Interprets a directive line. Returns true when it produced an answer in `out`; false when it
// ran (or failed: then the script is stopped and `out` is an end answer).
bool runDirective(const InputLine& line, std::wstring_view body, bool acceptMove, Answer& out) {
    size_t sp = 0;
    while (sp < body.size() && !std::iswspace(body[sp]))
        ++sp;
    const std::wstring name = toUpperName(body.substr(0, sp));
    const std::wstring_view args = trim(body.substr(sp));
    auto bad = [&](const wchar_t* what) {
        stopScript(line, std::wstring(what) + L": @" + std::wstring(body));
        out.kind = Answer::end;
        return true;
    };
    if (name == L"PICK" || name == L"MOVE") {
        if (!parsePointText(args, out.p1))
            return bad(L"point expected (x,y)");
        out.kind = name == L"PICK" ? Answer::pick : Answer::move;
        out.text = L"@" + std::wstring(body);
        if (out.kind == Answer::move && !acceptMove)
            return false; // a cursor move outside a drag answers nothing
        return true;
    }
    if (name == L"ALL" || name == L"LAST") {
        if (!args.empty())
            return bad(L"no arguments expected");
        out.kind = name == L"ALL" ? Answer::all : Answer::last;
        out.text = L"@" + std::wstring(body);
        return true;
    }
    if (name == L"WINDOW" || name == L"CROSSING") {
        if (!parseTwoPoints(args, out.p1, out.p2))
            return bad(L"two points expected (x1,y1 x2,y2)");
        out.kind = name == L"WINDOW" ? Answer::window : Answer::crossing;
        out.text = L"@" + std::wstring(body);
        return true;
    }
    if (name == L"SHIFT") {
        const std::wstring v = toUpperName(args);
        if (v != L"ON" && v != L"OFF")
            return bad(L"on or off expected");
        setShiftDown(v == L"ON");
        return false;
    }
    if (name == L"WAIT") {
        double ms = 0;
        if (!parseReal(args, ms) || ms < 0 || ms > 1e12)
            return bad(L"milliseconds expected");
        hostClock().advance(std::uint64_t(ms));
        return false;
    }
    if (name == L"SET") {
        size_t g = 0;
        while (g < args.size() && !std::iswspace(args[g]))
            ++g;
        const std::wstring var(args.substr(0, g));
        const Status st = setVarFromText(var, trim(args.substr(g)));
        if (!ok(st))
            return bad(st == Status::keyNotFound ? L"unknown system variable"
                                                 : L"value not accepted");
        return false;
    }
    if (name == L"ECHO") {
        // A line of its own in the transcript: a script's progress notes, and the marks that
        // tell apart the parts of a long batch run's log.
        print(L"\n" + std::wstring(args) + L"\n");
        return false;
    }
    auto it = directives().find(name);
    if (it == directives().end()) {
        stopScript(line, L"unknown directive @" + std::wstring(body.substr(0, sp)));
        out.kind = Answer::end;
        return true;
    }
    DirectiveContext ctx{line, {}};
    const Status st = it->second(args, ctx);
    if (!ok(st)) {
        // The registered directives are the dialogs' lines: a failure is a dialog's.
        stopScript(line, ctx.message.empty() ? L"@" + std::wstring(body) + L" failed" : ctx.message,
                   true);
        out.kind = Answer::end;
        return true;
    }
    return false;
}

Answer fromCallArgument(std::wstring_view prompt, bool endOfCallIsEnter) {
    auto& s = state();
    CallFrame& f = s.frames.back();
    Answer a;
    if (f.next >= f.args.size()) {
        if (endOfCallIsEnter) {
            a.kind = Answer::empty;
            return a;
        }
        f.starved = true;
        a.kind = Answer::end;
        return a;
    }
    const CommandArg& arg = f.args[f.next++];
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                a.kind = trim(v).empty() ? Answer::empty : Answer::typed;
                a.text = v;
            } else if constexpr (std::is_same_v<T, geom::Point3d>) {
                a.kind = Answer::point;
                a.p1 = v;
                a.text = pointText(v);
            } else if constexpr (std::is_same_v<T, double>) {
                a.kind = Answer::realValue;
                a.real = v;
                a.text = formatNumber(v);
            } else if constexpr (std::is_same_v<T, int>) {
                a.kind = Answer::intValue;
                a.integer = v;
                a.text = std::to_wstring(v);
            } else if constexpr (std::is_same_v<T, db::ObjectId>) {
                a.kind = Answer::entity;
                a.id = v;
                a.text = L"<Entity " + v.handle().toHex() + L">";
            } else {
                a.kind = Answer::selection;
                a.set = v;
                a.text = L"<Selection set>";
            }
        },
        arg.v);
    if (f.echo) {
        print(prompt);
        print(a.text);
        endEchoLine();
    }
    return a;
}

} // namespace

bool echoingAnswers() {
    auto& s = state();
    if (!s.frames.empty())
        return s.frames.back().echo;
    return !(s.input && s.input->interactive());
}

std::wstring answerText(const Answer& a) {
    return a.text;
}

Answer readAnswer(std::wstring_view prompt, bool acceptMove, bool endOfCallIsEnter) {
    auto& s = state();
    if (!s.frames.empty())
        return fromCallArgument(prompt, endOfCallIsEnter);
    if (s.scriptError || s.inputEndedInPrompt)
        return Answer{};
    const bool interactive = s.input && s.input->interactive();
    std::wstring_view shown = prompt;
    if (interactive) {
        // The terminal shows the prompt's last line itself.
        shown = lastPromptLine(prompt);
        print(prompt.substr(0, prompt.size() - shown.size()));
    } else {
        print(prompt);
    }
    while (true) {
        InputLine line;
        if (!readRawLine(shown, line)) {
            s.inputEndedInPrompt = true;
            s.waitingPrompt = std::wstring(trim(prompt));
            if (!interactive)
                endEchoLine();
            return Answer{};
        }
        if (interactive)
            s.swallowNextNewline = true; // the terminal ended the line
        const std::wstring_view t = trim(line.text);
        if (!t.empty() && t.front() == L';')
            continue; // a comment
        Answer a;
        a.lineNumber = line.lineNumber;
        if (t.find(L'\0') != std::wstring_view::npos) {
            // A NUL is no text: the file is binary or in an encoding without its BOM, and
            // what precedes the NUL would be taken for the whole line.
            stopScript(line, L"the line holds a NUL character (a UTF-16 script needs its BOM)");
            if (interactive)
                continue;
            endEchoLine();
            return Answer{};
        }
        if (!t.empty() && t.front() == L'@' && t.size() > 1 && std::iswalpha(t[1])) {
            if (!runDirective(line, t.substr(1), acceptMove, a))
                continue;
            if (a.kind == Answer::end) {
                if (interactive)
                    continue; // told; the prompt asks again
                endEchoLine();
                return a;
            }
        } else if (t == L"^C") {
            a.kind = Answer::cancel;
            a.text = L"*Cancel*";
            s.cancelSeen = true;
        } else if (t.empty()) {
            a.kind = Answer::empty;
        } else {
            a.kind = Answer::typed;
            a.text = std::wstring(t);
        }
        if (!interactive) {
            print(a.text);
            endEchoLine();
        } else if (a.kind == Answer::cancel) {
            print(L"*Cancel*\n");
            s.swallowNextNewline = true;
        }
        return a;
    }
}

} // namespace detail

Status registerDirective(std::wstring_view name, DirectiveHandler handler) {
    std::wstring key = toUpperName(name);
    if (!key.empty() && key.front() == L'@')
        key.erase(0, 1);
    if (key.empty() || detail::isBuiltin(key))
        return Status::invalidInput;
    if (handler)
        detail::directives()[key] = std::move(handler);
    else
        detail::directives().erase(key);
    return Status::ok;
}

bool nextInputLine(std::wstring_view prompt, InputLine& out) {
    return detail::readRawLine(prompt, out);
}

void pushBackInputLine(InputLine line) {
    detail::state().pushedBack.push_back(std::move(line));
}

} // namespace zhost::ed
