// The headless backend: modal dialogs and popup menus driven by "@dialog" script lines, each
// state echoed to the transcript.
#include "zhost/ui/backend.h"

#include "text_util.h"

#include "zhost/core/utf.h"
#include "zhost/editor/display.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/menu.h"
#include "zhost/ui/services.h"

#include <cwchar>
#include <cwctype>

namespace zhost::ui {
namespace {

// A script error found while a dialog reads its own lines: the dialog ends, and the line goes
// back to the editor as a directive that fails with the message, so the script stops there
// with the line's number as for any other bad line.
struct PendingError {
    bool set = false;
    std::wstring message;
};
PendingError& pendingError() {
    static PendingError p;
    return p;
}
constexpr const wchar_t* kErrorDirective = L"@dialog-error";

// A person typing at the shell is told what was wrong and the dialog waits for the next line;
// a script stops.
bool tellPerson(const std::wstring& message) {
    const ed::InputSource* input = ed::inputSource();
    if (!input || !input->interactive())
        return false;
    ed::print(message + L"\n");
    return true;
}

void failScript(const ed::InputLine& line, std::wstring message) {
    if (tellPerson(message))
        return;
    pendingError().set = true;
    pendingError().message = std::move(message);
    ed::InputLine back = line;
    back.text = kErrorDirective;
    ed::pushBackInputLine(std::move(back));
}

std::wstring firstWord(std::wstring_view t, std::wstring_view& rest) {
    size_t i = 0;
    while (i < t.size() && !std::iswspace(t[i]))
        ++i;
    rest = detail::trim(t.substr(i));
    return toUpperName(t.substr(0, i));
}

// Lines that may come while a dialog or menu waits: the editor's own directives that do not
// answer anything. Returns false with a message for a line that does not belong there.
enum class LineKind { handled, dialog, other };
LineKind runSideLine(const ed::InputLine& line, std::wstring_view t, std::wstring& args,
                     std::wstring& message) {
    if (t.empty() || t.front() == L';')
        return LineKind::handled;
    if (t.front() != L'@')
        return LineKind::other;
    std::wstring_view rest;
    const std::wstring name = firstWord(t.substr(1), rest);
    args = std::wstring(rest);
    if (name == L"DIALOG")
        return LineKind::dialog;
    if (name == L"CLIPBOARD") {
        runClipboardDirective(rest);
        return LineKind::handled;
    }
    if (name == L"WAIT") {
        wchar_t* end = nullptr;
        const std::wstring num(rest);
        const double ms = std::wcstod(num.c_str(), &end);
        if (num.empty() || (end && *end) || !(ms >= 0 && ms <= 1e12)) {
            message = L"milliseconds expected: " + std::wstring(t);
            return LineKind::other;
        }
        ed::hostClock().advance(std::uint64_t(ms));
        return LineKind::handled;
    }
    if (name == L"SHIFT") {
        const std::wstring v = toUpperName(rest);
        if (v != L"ON" && v != L"OFF") {
            message = L"on or off expected: " + std::wstring(t);
            return LineKind::other;
        }
        ed::setShiftDown(v == L"ON");
        return LineKind::handled;
    }
    if (name == L"SET") {
        std::wstring_view value;
        const std::wstring var = firstWord(rest, value);
        if (!ok(ed::setVarFromText(var, value))) {
            message = L"value not accepted: " + std::wstring(t);
            return LineKind::other;
        }
        return LineKind::handled;
    }
    return LineKind::other;
}

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(std::function<void(Dialog&)> onState = {})
        : onState_(std::move(onState)) {}
    void runModalLoop(Dialog& dialog) override;
    int trackPopupMenu(Menu& menu, Point screen, Dialog* owner) override;
    void showMessageBox(std::wstring_view text, std::wstring_view caption) override {
        ed::print(L"\n[" + std::wstring(caption) + L"] " + std::wstring(text) + L"\n");
    }

private:
    std::function<void(Dialog&)> onState_;
};

std::wstring endText(int code) {
    if (code == idOk)
        return L"OK";
    if (code == idCancel)
        return L"Cancel";
    return std::to_wstring(code);
}

void HeadlessBackend::runModalLoop(Dialog& dialog) {
    if (pendingError().set) {
        dialog.endDialog(idCancel);
        return;
    }
    echoDialog(dialog);
    if (onState_)
        onState_(dialog);
    while (!dialog.ended()) {
        ed::InputLine line;
        if (!ed::nextInputLine(L"Dialog: ", line)) {
            ed::print(L"*the input ended while the dialog \"" + dialog.title() + L"\" was open*\n");
            dialog.endDialog(idCancel);
            break;
        }
        const std::wstring_view t = detail::trim(line.text);
        if (t == kErrorDirective) {
            ed::pushBackInputLine(line);
            dialog.endDialog(idCancel);
            return;
        }
        if (t == L"^C") {
            dialog.pressKey(vk::escape);
            continue;
        }
        std::wstring args, message;
        const LineKind kind = runSideLine(line, t, args, message);
        if (kind == LineKind::handled)
            continue;
        if (kind == LineKind::other) {
            const std::wstring why = message.empty()
                                         ? L"the dialog \"" + dialog.title() +
                                               L"\" is open: an @dialog line is expected, not \"" +
                                               std::wstring(t) + L"\""
                                         : message;
            if (tellPerson(why))
                continue;
            failScript(line, why);
            dialog.endDialog(idCancel);
            return;
        }
        if (!runDialogDirective(dialog, args, message)) {
            if (tellPerson(message))
                continue;
            failScript(line, message);
            dialog.endDialog(idCancel);
            return;
        }
        if (pendingError().set) { // a nested dialog or menu failed
            dialog.endDialog(idCancel);
            return;
        }
        dialog.processPostedMessages();
        const std::wstring verb = toUpperName(args.substr(0, args.find(L' ')));
        if (dialog.ended() || verb == L"SNAPSHOT")
            continue;
        if (verb != L"SHOW") // "show" has echoed the state itself
            echoDialog(dialog);
        if (onState_)
            onState_(dialog);
    }
    ed::print(L"--- " + dialog.title() + L": " + endText(dialog.endCode()) + L"\n");
}

int HeadlessBackend::trackPopupMenu(Menu& menu, Point, Dialog*) {
    if (pendingError().set)
        return 0;
    std::vector<std::wstring> lines;
    menu.describe(lines);
    std::wstring s = L"--- popup menu ---\n";
    for (const auto& l : lines)
        s += l + L"\n";
    ed::print(s);
    MenuTracker tracker(menu);
    while (true) {
        ed::InputLine line;
        if (!ed::nextInputLine(L"Menu: ", line))
            return 0;
        const std::wstring_view t = detail::trim(line.text);
        std::wstring args, message;
        const LineKind kind = runSideLine(line, t, args, message);
        if (kind == LineKind::handled)
            continue;
        std::wstring_view rest;
        if (kind == LineKind::dialog && firstWord(args, rest) == L"MENU") {
            const std::wstring choice(detail::trim(rest));
            if (equalsNoCase(choice, L"cancel") || equalsNoCase(choice, L"none"))
                return 0;
            std::wstring_view keyName;
            if (firstWord(choice, keyName) == L"KEY") {
                if (!tracker.keyNamed(detail::trim(keyName))) {
                    failScript(line, L"unknown menu key \"" + std::wstring(keyName) +
                                         L"\" (up, down, left, right, return, escape or a letter)");
                    return 0;
                }
                if (tracker.state() == MenuTracker::State::chosen) {
                    ed::print(L"--- menu: " + std::to_wstring(tracker.chosen()) + L"\n");
                    return tracker.chosen();
                }
                if (tracker.state() == MenuTracker::State::dismissed) {
                    ed::print(L"--- menu dismissed\n");
                    return 0;
                }
                const std::wstring path = tracker.litPath();
                ed::print(L"--- menu at: " + (path.empty() ? L"(nothing lit)" : path) + L"\n");
                continue;
            }
            if (const Menu::Item* it = menu.findItem(choice)) {
                if (it->flags & (mf::grayed | mf::disabled | mf::separator) || it->submenu) {
                    failScript(line, L"menu item " + choice + L" cannot be chosen");
                    return 0;
                }
                ed::print(L"--- menu: " + std::to_wstring(it->id) + L"\n");
                return it->id;
            }
            failScript(line, L"the popup menu has no item " + choice);
            return 0;
        }
        // Anything else dismisses the menu and is then done as usual.
        ed::pushBackInputLine(line);
        ed::print(L"--- menu dismissed\n");
        return 0;
    }
}

std::unique_ptr<Backend>& backendSlot() {
    static std::unique_ptr<Backend> b;
    return b;
}

} // namespace

std::unique_ptr<Backend> makeHeadlessBackend(std::function<void(Dialog&)> onState) {
    return std::make_unique<HeadlessBackend>(std::move(onState));
}

Backend& backend() {
    if (!backendSlot())
        backendSlot() = std::make_unique<HeadlessBackend>();
    return *backendSlot();
}

void setBackend(std::unique_ptr<Backend> b) {
    backendSlot() = std::move(b);
}

void echoDialog(const Dialog& dialog) {
    ed::print(L"\n" + dialog.describe());
}

void installScriptDirectives() {
    ed::registerDirective(L"dialog", [](std::wstring_view args, ed::DirectiveContext& ctx) {
        ctx.message = L"no dialog is open: @dialog " + std::wstring(args);
        return Status::invalidInput;
    });
    ed::registerDirective(L"dialog-error", [](std::wstring_view, ed::DirectiveContext& ctx) {
        ctx.message = pendingError().message;
        pendingError() = PendingError{};
        return Status::invalidInput;
    });
    ed::registerDirective(L"clipboard", [](std::wstring_view args, ed::DirectiveContext&) {
        runClipboardDirective(args);
        return Status::ok;
    });
}

void runClipboardDirective(std::wstring_view args) {
    std::wstring_view a = args;
    if (a.size() >= 2 && a.front() == L'"' && a.back() == L'"')
        a = a.substr(1, a.size() - 2);
    std::wstring text;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == L'\\' && i + 1 < a.size()) {
            const wchar_t n = a[++i];
            text += n == L't' ? L'\t' : n == L'n' ? L'\n' : n == L'r' ? L'\r' : n;
        } else {
            text += a[i];
        }
    }
    setClipboardText(text);
}

} // namespace zhost::ui
