// `zorma run` and `zorma shell`: open or start a drawing, load the add-on, run the script or
// the terminal, save and render.
#include "options.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/rx/loader.h"
#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"
#include "zhost/settings/registry.h"
#include "zhost/ui/backend.h"

#ifdef ZORMA_HAVE_PREVIEW
#include "zhost/preview/render_command.h"
#endif

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
    const fs::path path = o.addon.empty() ? rx::defaultAddonPath(o.api) : fs::path(o.addon);
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

int renderTo(const db::Database& d, const std::string& target) {
#ifdef ZORMA_HAVE_PREVIEW
    // The renderer reads a drawing file: the session's drawing goes through a temporary one.
    const fs::path tmp =
        settings::temporaryFolder() / ("zorma-render-" + std::to_string(::getpid()) + ".dxf");
    if (!ok(dxf::writeDxf(d, tmp))) {
        err(L"cannot write the drawing for rendering");
        return 2;
    }
    std::string prog = "render", in = tmp.string(), out = target;
    char* argv[] = {prog.data(), in.data(), out.data(), nullptr};
    const int rc = zhost::preview::runRenderCommand(3, argv);
    std::error_code ec;
    fs::remove(tmp, ec);
    return rc;
#else
    (void)d;
    err(L"rendering is not available in this build; " + fromUtf8(target) + L" not written");
    return 2;
#endif
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

int runSession(const RunOptions& o, bool interactive) {
    applySessionSettings(o.product, o.userDir, o.machineReg);
    auto database = std::make_unique<db::Database>();
    if (!o.drawing.empty()) {
        const fs::path path = dxf::resolveDrawingPath(o.drawing);
        dxf::ReadReport report;
        if (!ok(dxf::readDxf(path, *database, report))) {
            err(L"cannot read drawing " + fromUtf8(o.drawing) + L": " + report.message);
            return 2;
        }
        database->setFilePath(settings::toWide(fs::absolute(path)));
    }
    database->clearUndo();
    ed::resetSession();
    ed::setWorkingDatabase(database.get());
    // "@dialog" and "@clipboard" lines are understood from the first script line on, not only
    // once a dialog has been opened.
    ui::installScriptDirectives();

    std::unique_ptr<ed::InputSource> input;
    if (interactive) {
        input = ed::makeTerminal();
    } else if (o.script.empty() || o.script == "-") {
        input = ed::makeScriptStream(std::cin, L"<stdin>");
    } else {
        Status st = Status::ok;
        input = ed::makeScriptFile(o.script, st);
        if (!input) {
            err(L"cannot read script " + fromUtf8(o.script));
            return 2;
        }
    }

    int rc = 0;
    {
        rx::AddonModule addon;
        if (int a = loadAddon(o, addon); a != 0)
            return a;
        if (interactive)
            ed::print(L"ZORMA command line. Ctrl-C cancels a prompt, Ctrl-D ends.\n");
        const ed::RunOutcome outcome = ed::runCommandLoop(*input);
        switch (outcome.kind) {
        case ed::RunOutcome::endOfInput:
        case ed::RunOutcome::quit:
            break;
        case ed::RunOutcome::inputEndedInPrompt:
            err(L"the script ended while a prompt was waiting for an answer: \"" +
                outcome.waitingPrompt + L"\"");
            rc = 1;
            break;
        case ed::RunOutcome::scriptError:
            err(L"script stopped at line " + std::to_wstring(outcome.lineNumber) + L": " +
                outcome.message);
            rc = 1;
            break;
        }
    } // the add-on is unloaded here, before the drawing goes away

    if (rc == 0 && !o.out.empty() && !ok(dxf::writeDxf(*database, o.out))) {
        err(L"cannot write " + fromUtf8(o.out));
        rc = 2;
    }
    if (rc == 0 && !o.render.empty())
        rc = renderTo(*database, o.render);
    ed::setWorkingDatabase(nullptr);
    return rc;
}

} // namespace zorma::app
