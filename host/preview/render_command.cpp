// zorma render IN.dxf OUT.png|OUT.svg [--size WxH] [-q]
#include "zhost/preview/render_command.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"
#include "zhost/settings/atomicfile.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::preview {

namespace {

constexpr const char* kUsage = "usage: zorma render IN.dxf OUT.png|OUT.svg [--size WxH] [-q]\n";

bool parseSize(std::string_view s, int& w, int& h) {
    const auto x = s.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    auto num = [](std::string_view t, int& out) {
        const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
        return r.ec == std::errc() && r.ptr == t.data() + t.size() && out >= 1 && out <= 16384;
    };
    return num(s.substr(0, x), w) && num(s.substr(x + 1), h);
}

} // namespace

int runRenderCommand(int argc, char** argv) {
    std::vector<std::string_view> args;
    for (int i = 0; i < argc; ++i)
        args.emplace_back(argv[i]);
    // The command's own word comes first when the program passes it on; it is skipped once, so a
    // drawing may itself be called "render" or "zorma".
    if (!args.empty() && args.front() == "render")
        args.erase(args.begin());
    RenderOptions options;
    bool quiet = false;
    std::vector<std::string_view> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-q" || args[i] == "--quiet") {
            quiet = true;
        } else if (args[i] == "--size") {
            if (i + 1 >= args.size() || !parseSize(args[i + 1], options.width, options.height)) {
                std::fputs("zorma render: --size wants WxH, e.g. --size 800x600\n", stderr);
                return 2;
            }
            ++i;
        } else if (args[i].starts_with("--size=")) {
            if (!parseSize(args[i].substr(7), options.width, options.height)) {
                std::fputs("zorma render: --size wants WxH, e.g. --size 800x600\n", stderr);
                return 2;
            }
        } else if (args[i].starts_with("--")) {
            std::fprintf(stderr, "zorma render: unknown option %.*s\n%s", int(args[i].size()),
                         args[i].data(), kUsage);
            return 2;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::filesystem::path in(files[0]), out(files[1]);
    std::string ext = out.extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".png" && ext != ".svg") {
        std::fputs("zorma render: the output must be a .png or .svg file\n", stderr);
        return 2;
    }
    // The picture's name is checked before the drawing is read: a long read should not end
    // in "cannot write".
    std::wstring reason;
    if (!ok(settings::checkSaveTarget(out, &reason))) {
        std::fprintf(stderr, "zorma render: cannot write %s: %s\n", std::string(files[1]).c_str(),
                     toUtf8(reason).c_str());
        return 1;
    }
    db::Database db;
    dxf::ReadReport report;
    Status s = dxf::readDxf(dxf::resolveDrawingPath(in), db, report);
    if (!ok(s)) {
        std::fprintf(stderr, "zorma render: %s: %s\n", std::string(files[0]).c_str(),
                     toUtf8(report.message).c_str());
        return 1;
    }
    if (!quiet)
        std::fputs(toUtf8(dxf::formatReadReport(report, fromUtf8(std::string(files[0])))).c_str(),
                   stderr);
    s = renderDrawing(db, out, options, &reason);
    if (!ok(s)) {
        std::fprintf(stderr, "zorma render: cannot write %s: %s\n", std::string(files[1]).c_str(),
                     reason.empty() ? toString(s) : toUtf8(reason).c_str());
        return 1;
    }
    return 0;
}

} // namespace zhost::preview
