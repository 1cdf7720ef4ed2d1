// `zorma library VERB`: a session without a drawing file, the add-on loaded, the verb handed to
// the add-on's verb entry. Options the program understands are taken out; everything else goes
// to the verb in order.
#include "library_command.h"
#include "options.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/rx/loader.h"
#include "zhost/ui/backend.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace zorma::app {
namespace fs = std::filesystem;
using namespace zhost;

namespace {

constexpr const char* kUsage =
    "usage: zorma library VERB [--product DIR] [--user-dir DIR] [--machine-reg FILE]\n"
    "                          [--addon PATH] [--api 24|23] [--script FILE|-] [ARGUMENTS]\n"
    "       zorma library help    lists the verbs the add-on offers\n";

struct LibraryOptions {
    std::string verb;
    std::string product, userDir, machineReg, addon, script;
    int api = rx::kApiCurrent;
    std::vector<std::string> verbArgs;
};

bool parse(int argc, char** argv, LibraryOptions& o, std::string& error) {
    if (argc < 1 || argv[0][0] == '-') {
        error = "a verb is needed";
        return false;
    }
    o.verb = argv[0];
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        std::string* into = a == "--product"       ? &o.product
                            : a == "--user-dir"    ? &o.userDir
                            : a == "--machine-reg" ? &o.machineReg
                            : a == "--addon"       ? &o.addon
                            : a == "--script"      ? &o.script
                                                   : nullptr;
        if (a == "--api") {
            const std::string v = i + 1 < argc ? argv[++i] : "";
            if (v != "24" && v != "23") {
                error = "--api takes 24 or 23";
                return false;
            }
            o.api = v == "23" ? rx::kApiPrevious : rx::kApiCurrent;
        } else if (into) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            *into = argv[++i];
        } else {
            o.verbArgs.push_back(a);
        }
    }
    return true;
}

// A verb that opens a dialog reads its answers ("@dialog" lines) from the script, as a command
// would; a verb that asks nothing never reads it.
std::unique_ptr<ed::InputSource> openInput(const std::string& script) {
    if (script.empty() || script == "-")
        return ed::makeScriptStream(std::cin, L"<stdin>");
    Status st = Status::ok;
    return ed::makeScriptFile(script, st);
}

int runVerb(const LibraryOptions& o) {
    const fs::path path = o.addon.empty() ? rx::defaultAddonPath(o.api) : fs::path(o.addon);
    rx::AddonModule addon;
    std::wstring message;
    if (!ok(addon.load(path, o.api, message))) {
        std::fprintf(stderr, "zorma library: the library tools come with the add-on: %s\n",
                     toUtf8(message).c_str());
        return 2;
    }
    int rc = 2;
    const Status st = addon.callLibraryVerb(o.verb, o.verbArgs, rc);
    if (!ok(st)) {
        std::fprintf(stderr, "zorma library: %s offers no library tools\n", path.c_str());
        return 2;
    }
    return rc;
}

} // namespace

int runLibraryCommand(int argc, char** argv) {
    LibraryOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) {
        std::fprintf(stderr, "zorma library: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    applySessionSettings(o.product, o.userDir, o.machineReg);
    auto input = openInput(o.script);
    if (!input) {
        std::fprintf(stderr, "zorma library: cannot read script %s\n", o.script.c_str());
        return 2;
    }
    auto database = std::make_unique<db::Database>();
    database->clearUndo();
    ed::resetSession();
    ed::setWorkingDatabase(database.get());
    ed::setInputSource(input.get());
    ui::installScriptDirectives();
    const int rc = runVerb(o); // the add-on is unloaded before the drawing goes away
    ed::setInputSource(nullptr);
    ed::setWorkingDatabase(nullptr);
    return rc;
}

} // namespace zorma::app
