// `zorma run` and `zorma shell`: open or start a drawing, load the add-on, run the script or
// the terminal, save and render.
#include "options.h"
#include "outputs.h"

#include "zhost/core/diagnostics.h"
#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/display.h"
#include "zhost/editor/document.h"
#include "zhost/editor/editor.h"
#include "zhost/rx/loader.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"
#include "zhost/settings/registry.h"
#include "zhost/ui/backend.h"

#ifdef ZORMA_HAVE_PREVIEW
#include "zhost/preview/preview.h"
#endif

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace zorma::app {
namespace fs = std::filesystem;
using namespace zhost;

namespace {

void err(const std::wstring& text) {
    std::cerr << "zorma: " << toUtf8(text) << std::endl;
}

// 0 loaded or absent (said once on stderr), 2 refused. "--addon none" runs without one.
int loadAddon(const RunOptions& o, rx::AddonModule& module) {
    if (o.addon == "none")
        return 0;
    fs::path path = o.addon.empty() ? rx::defaultAddonPath(o.api) : fs::path(o.addon);
    // The loader looks for a bare name on the library path only; a file of that name in the
    // current folder is the one the user means.
    std::error_code ec;
    if (!path.has_parent_path() && fs::is_regular_file(path, ec))
        path = fs::path(".") / path;
    if (o.addon.empty() && !fs::exists(path)) {
        err(L"no add-on library at " + fromUtf8(path.string()) +
            L"; running with the host commands only");
        return 0;
    }
    std::wstring message;
    if (!ok(module.load(path, o.api, message))) {
        err(L"add-on refused: " + message);
        return 2;
    }
    return 0;
}

int renderTo(const db::Database& d, const fs::path& target) {
#ifdef ZORMA_HAVE_PREVIEW
    std::wstring reason;
    // The picture shows what the view shows once a command zoomed (ZOOM, VIEWSIZE); until then,
    // and after a zoom to the extents, the whole drawing.
    preview::RenderOptions options;
    if (ed::viewRequestSerial() != 0 && !ed::lastViewRequest().toExtents) {
        const ed::View v = ed::currentView();
        options.viewCenterX = v.centerX;
        options.viewCenterY = v.centerY;
        options.viewScale = options.height / v.height();
    }
    const Status s = preview::renderDrawing(d, target, options, &reason);
    if (!ok(s)) {
        err(L"cannot write " + settings::toWide(target) + L": " +
            (reason.empty() ? fromUtf8(toString(s)) : reason));
        return 2;
    }
    return 0;
#else
    (void)d;
    err(L"rendering is not available in this build; " + settings::toWide(target) + L" not written");
    return 2;
#endif
}

// Settings changed in the session are written to the user folder at the end; say at once when
// that cannot work rather than lose them silently then.
void checkUserFolder() {
    const fs::path folder = settings::userFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::wstring reason;
    if (ec)
        reason = fromUtf8(ec.message());
    else if (ok(settings::checkSaveTarget(folder / "user-settings.ini", &reason)))
        return;
    err(L"warning: the user folder " + settings::toWide(folder) + L" cannot be written (" + reason +
        L"); settings changed now will not be kept");
}

// With -v, the details of failures go to standard error as they happen; the sink is taken down
// with the session.
class VerboseDiagnostics {
public:
    explicit VerboseDiagnostics(bool on) : on_(on) {
        if (on_)
            previous_ = setDiagnosticSink(
                [](const Diagnostic& d) { std::cerr << "zorma: " << toString(d) << std::endl; });
    }
    ~VerboseDiagnostics() {
        if (on_)
            setDiagnosticSink(std::move(previous_));
    }
    VerboseDiagnostics(const VerboseDiagnostics&) = delete;
    VerboseDiagnostics& operator=(const VerboseDiagnostics&) = delete;

private:
    bool on_;
    DiagnosticSink previous_;
};

// Exit statuses of `zorma run`: a batch tells from them what went wrong.
constexpr int exitOk = 0;
constexpr int exitStopped = 1; // a line the script language does not allow, or the input ended
                               // while a prompt waited
constexpr int exitUsage = 2;   // refused before anything ran, or an output could not be written
constexpr int exitUnknownCommand = 3;
constexpr int exitDialogLine = 4; // an open dialog refused a line (the script stopped there)
constexpr int exitCommandError = 5;

std::wstring counted(int n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// The end of a script run: what stopped it, and one summary line of the faults it went on after.
int scriptEnd(const ed::RunOutcome& outcome) {
    int rc = exitOk;
    switch (outcome.kind) {
    case ed::RunOutcome::endOfInput:
    case ed::RunOutcome::quit:
        break;
    case ed::RunOutcome::inputEndedInPrompt:
        err(L"the script ended while a prompt was waiting for an answer: \"" +
            outcome.waitingPrompt + L"\"");
        rc = exitStopped;
        break;
    case ed::RunOutcome::scriptError:
        err(L"script stopped at line " + std::to_wstring(outcome.lineNumber) + L": " +
            outcome.message);
        rc = outcome.dialogLineFailed ? exitDialogLine : exitStopped;
        break;
    }
    if (rc == exitOk)
        rc = outcome.failedCommands > 0    ? exitCommandError
             : outcome.unknownCommands > 0 ? exitUnknownCommand
                                           : exitOk;
    std::wstring faults;
    if (outcome.unknownCommands > 0)
        faults += counted(outcome.unknownCommands, L"unknown command", L"unknown commands") +
                  L" (first at line " + std::to_wstring(outcome.firstUnknownLine) + L")";
    if (outcome.failedCommands > 0)
        faults += std::wstring(faults.empty() ? L"" : L", ") +
                  counted(outcome.failedCommands, L"command", L"commands") +
                  L" reported an error (first at line " +
                  std::to_wstring(outcome.firstFailedCommandLine) + L")";
    if (outcome.kind == ed::RunOutcome::scriptError && outcome.dialogLineFailed)
        faults += std::wstring(faults.empty() ? L"" : L", ") + L"a dialog line failed at line " +
                  std::to_wstring(outcome.lineNumber);
    if (!faults.empty())
        err(L"the script " +
            std::wstring(rc == exitUnknownCommand || rc == exitCommandError ? L"finished"
                                                                            : L"stopped") +
            L" with faults: " + faults + L"; exit status " + std::to_wstring(rc));
    return rc;
}

void greet(const OutputPlan& outputs) {
    ed::print(L"ZORMA command line. Ctrl-C cancels a prompt, Ctrl-D at the command prompt ends, "
              L"F1 lists the commands.\n");
    if (outputs.drawing.empty())
        ed::print(L"Nothing will be saved: start the shell with --out FILE.dxf to keep the "
                  L"drawing.\n");
    else
        ed::print(L"Changes are saved to " + settings::toWide(outputs.drawing) +
                  L" when the session ends.\n");
}

// The shell ends on Ctrl-D at the command prompt, QUIT or the end of piped input; it never
// stops on a bad line, so only the last of these can leave a prompt waiting.
int shellEnd(const ed::RunOutcome& outcome) {
    if (outcome.kind == ed::RunOutcome::inputEndedInPrompt)
        err(L"the input ended while a prompt was waiting for an answer: \"" +
            outcome.waitingPrompt + L"\"; that command was cancelled");
    return exitOk;
}

} // namespace

void applySessionSettings(const std::string& product, const std::string& userDir,
                          const std::string& machineReg) {
    if (!product.empty())
        settings::setProductFolder(product);
    if (!userDir.empty())
        settings::setUserFolder(userDir);
    if (!machineReg.empty())
        settings::setMachineRegistryFile(machineReg);
    // The settings module's notices belong on the command line.
    settings::setPrintHook([](std::wstring_view text) { ed::print(text); });
}

int runSession(const RunOptions& o, bool interactive, SessionFrontEnd* frontEnd) {
    // The output names are checked before anything runs: a bad one is reported while the
    // work is still to be done, not after.
    OutputPlan outputs;
    std::wstring problem, notice;
    if (!planOutputs(o, outputs, problem, notice)) {
        err(problem);
        return 2;
    }
    if (!notice.empty())
        err(notice);
    applySessionSettings(o.product, o.userDir, o.machineReg);
    checkUserFolder();
    const VerboseDiagnostics diagnostics(o.verbose);
    auto database = std::make_unique<db::Database>();
    dxf::WriteOptions saveOptions;
    if (!o.drawing.empty()) {
        const fs::path path = dxf::resolveDrawingPath(o.drawing);
        dxf::ReadReport report;
        const Status read = dxf::readDxf(path, *database, report);
        if (!ok(read)) {
            // A file that cannot be opened is named by the reader's message itself.
            const bool fileLevel = read == Status::fileError || read == Status::fileNotFound;
            err(L"cannot read drawing " +
                (fileLevel ? report.message : settings::toWide(path) + L": " + report.message));
            return 2;
        }
        database->setFilePath(settings::toWide(fs::absolute(path)));
        // What was read and what the reader had to keep, mend or skip, before anything runs.
        if (!o.quiet)
            std::cerr << toUtf8(dxf::formatReadReport(report, settings::toWide(path)));
        saveOptions = dxf::sameVersionAs(report);
    }
    database->clearUndo();
    ed::resetSession();
    // The session owns the drawing from here on: NEW and OPEN replace it.
    ed::adoptDrawing(std::move(database));
    struct CloseDrawing {
        ~CloseDrawing() { ed::closeDrawing(); }
    } closeAtEnd;
    // "@dialog" and "@clipboard" lines are understood from the first script line on, not only
    // once a dialog has been opened.
    ui::installScriptDirectives();

    std::unique_ptr<ed::InputSource> input;
    if (interactive) {
        input = ed::makeTerminal();
    } else if (frontEnd && o.script.empty()) {
        // the window's command line is the input
    } else if (o.script.empty() || o.script == "-") {
        input = ed::makeScriptStream(std::cin, L"<stdin>");
    } else {
        Status st = Status::ok;
        std::wstring reason;
        input = ed::makeScriptFile(o.script, st, &reason);
        if (!input) {
            err(L"cannot read script " + settings::toWide(o.script) + L": " + reason);
            return 2;
        }
    }
    if (frontEnd)
        input = frontEnd->attachInput(std::move(input));

    int rc = exitOk;
    const db::Database* startDrawing = ed::workingDatabase();
    const std::uint64_t serialAtStart = startDrawing->changeSerial();
    {
        rx::AddonModule addon;
        if (int a = loadAddon(o, addon); a != 0)
            return a;
        if (interactive)
            greet(outputs);
        const ed::RunOutcome outcome = ed::runCommandLoop(*input);
        // A person at the window, like one at the shell, was told of each failure as it came.
        const bool person = interactive || (frontEnd && o.script.empty());
        rc = person ? shellEnd(outcome) : scriptEnd(outcome);
    } // the add-on is unloaded here, before the drawing goes away
    if (frontEnd)
        frontEnd->sessionEnded();

    // A script that ran to its end keeps what it did, faults or not: the status tells a batch
    // what went wrong. One stopped half-way wrote nothing, so its old output stays as it was.
    // The shell keeps the session's work however it ended, when there is work to keep (NEW
    // and OPEN may have replaced the drawing meanwhile).
    const db::Database& drawing = *ed::workingDatabase();
    const bool changed = &drawing != startDrawing || drawing.changeSerial() != serialAtStart;
    const bool keep = interactive ? changed : rc != exitStopped && rc != exitDialogLine;
    if (keep && !outputs.drawing.empty()) {
        std::wstring reason;
        if (!o.outVersion.empty())
            dxf::parseVersion(o.outVersion, saveOptions.version); // checked with the options
        if (!ok(dxf::writeDxf(drawing, outputs.drawing, saveOptions, &reason))) {
            err(L"cannot write " + settings::toWide(outputs.drawing) + L": " + reason);
            return exitUsage;
        }
        if (interactive)
            err(L"the drawing was saved to " + settings::toWide(outputs.drawing));
    }
    if (keep && !outputs.picture.empty())
        if (const int r = renderTo(drawing, outputs.picture); r != 0)
            rc = r;
    return rc;
}

} // namespace zorma::app
