// zorma: the embedded CAD host's program. Sub-commands: run, shell, render, demo, batch, library,
// --version.
#include "library_command.h"
#include "options.h"

#include "zhost/core/version.h"

#ifdef ZORMA_HAVE_PREVIEW
#include "zhost/preview/render_command.h"
#endif
#ifdef ZORMA_HAVE_GUI
#include "../gui/gui.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

namespace {

int usage(int rc) {
    std::fprintf(rc == 0 ? stdout : stderr,
                 "usage:\n"
                 "  zorma run    [DRAWING.dxf] [--script FILE|-] [--out OUT.dxf] "
                 "[--render OUT.png|.svg]\n"
                 "               [--product DIR] [--user-dir DIR] [--machine-reg FILE] "
                 "[--addon PATH] [--api 24|23] [-v] [-q]\n"
                 "               [--out-version R2000|R2004|R2007|R2010|R2013|R2018]\n"
                 "  zorma shell  [DRAWING.dxf] ...same options...\n"
                 "  zorma gui    [DRAWING.dxf] [--script FILE] [--screenshot OUT.png] "
                 "[--dialog-screenshots DIR] ...options of run...\n"
                 "  zorma render IN.dxf OUT.png|OUT.svg [--size WxH] [-q]\n"
                 "  zorma demo   [--out-dir DIR]\n"
                 "  zorma batch  --script FILE [--jobs N] [--out-dir DIR] [--in-place] "
                 "DRAWING...\n"
                 "  zorma library VERB [--product DIR] ... (zorma library help lists the verbs)\n"
                 "  zorma --version\n");
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage(2);
    const std::string cmd = argv[1];
    if (cmd == "--version" || cmd == "version") {
        std::printf("zorma %s\n", zhost::versionString());
        return 0;
    }
    if (cmd == "--help" || cmd == "-h" || cmd == "help")
        return usage(0);
    const std::vector<std::string> rest(argv + 2, argv + argc);
    if (cmd == "run" || cmd == "shell") {
        std::string error;
        const auto options = zorma::app::parseRunOptions(rest, error);
        if (!options) {
            std::fprintf(stderr, "zorma %s: %s\n", cmd.c_str(), error.c_str());
            return usage(2);
        }
        if (!options->screenshot.empty() || !options->dialogScreenshots.empty()) {
            std::fprintf(stderr,
                         "zorma %s: --screenshot and --dialog-screenshots are options of "
                         "zorma gui\n",
                         cmd.c_str());
            return usage(2);
        }
        return zorma::app::runSession(*options, cmd == "shell");
    }
    if (cmd == "gui") {
#ifdef ZORMA_HAVE_GUI
        std::string error;
        const auto options = zorma::app::parseRunOptions(rest, error);
        if (!options) {
            std::fprintf(stderr, "zorma gui: %s\n", error.c_str());
            return usage(2);
        }
        return zorma::gui::runGui(*options);
#else
        std::fprintf(stderr, "zorma gui: the desktop window is not available in this build "
                             "(wxWidgets was not found when it was built)\n");
        return 2;
#endif
    }
    if (cmd == "render") {
#ifdef ZORMA_HAVE_PREVIEW
        return zhost::preview::runRenderCommand(argc - 1, argv + 1);
#else
        std::fprintf(stderr, "zorma render: rendering is not available in this build\n");
        return 2;
#endif
    }
    if (cmd == "demo")
        return zorma::app::runDemo(rest, argv[0]);
    if (cmd == "batch")
        return zorma::app::runBatch(rest);
    if (cmd == "library") {
        if (argc < 3)
            return usage(2);
        return zorma::app::runLibraryCommand(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "zorma: unknown sub-command %s\n", cmd.c_str());
    return usage(2);
}
