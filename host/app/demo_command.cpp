// `zorma demo`: runs every script under samples/scripts on the drawing its header names and
// writes the transcripts, drawings and pictures into the output folder. Each scenario runs in a
// process of its own, so that one cannot disturb the next.
#include "child_process.h"
#include "options.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zorma::app {
namespace fs = std::filesystem;

namespace {

fs::path samplesFolder(const char* argv0) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const fs::path installed = exe.parent_path().parent_path() / "share" / "zorma" / "samples";
    if (!ec && fs::is_directory(installed / "scripts"))
        return installed;
#ifdef ZORMA_SAMPLES_DIR
    if (fs::is_directory(fs::path(ZORMA_SAMPLES_DIR) / "scripts"))
        return ZORMA_SAMPLES_DIR;
#endif
    (void)argv0;
    return {};
}

// The drawing a script names in its header ("; drawing: ../drawings/x.dxf", relative to the
// script's folder); empty for a new drawing.
fs::path scriptDrawing(const fs::path& script) {
    std::ifstream in(script);
    std::string line;
    const std::string key = "; drawing:";
    while (std::getline(in, line)) {
        if (line.empty() || line[0] != ';')
            break; // the header is the comment block at the top
        if (line.compare(0, key.size(), key) == 0) {
            std::string value = line.substr(key.size());
            value.erase(0, value.find_first_not_of(" \t"));
            while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
                value.pop_back();
            return value.empty() ? fs::path() : (script.parent_path() / value).lexically_normal();
        }
    }
    return {};
}

int runChild(const std::vector<std::string>& args, const fs::path& transcript) {
    const pid_t pid = spawnSelf(args, transcript);
    if (pid < 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int runDemo(const std::vector<std::string>& args, const char* argv0) {
    fs::path outDir = "out/demo";
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out-dir" && i + 1 < args.size()) {
            outDir = args[++i];
        } else {
            std::fprintf(stderr, "zorma demo: unknown argument %s\n", args[i].c_str());
            return 2;
        }
    }
    const fs::path samples = samplesFolder(argv0);
    if (samples.empty()) {
        std::fprintf(stderr, "zorma demo: the sample scripts were not found\n");
        return 2;
    }
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(samples / "scripts"))
        if (entry.is_regular_file() && entry.path().extension() == ".scr")
            scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) {
        std::fprintf(stderr, "zorma demo: cannot create %s\n", outDir.c_str());
        return 2;
    }
    const fs::path userDir = fs::absolute(outDir / "user");
    int failures = 0;
    for (const fs::path& script : scripts) {
        const std::string name = script.stem().string();
        std::vector<std::string> child = {"zorma", "run"};
        if (const fs::path drawing = scriptDrawing(script); !drawing.empty()) {
            // Each scenario works on its own copy, so whatever a command writes beside its
            // drawing (a measurement log, say) lands in the output folder, never in samples/.
            const fs::path copy = outDir / "drawings" / (name + drawing.extension().string());
            fs::create_directories(copy.parent_path(), ec);
            fs::copy_file(drawing, copy, fs::copy_options::overwrite_existing, ec);
            child.push_back((ec ? drawing : copy).string());
        }
        child.insert(child.end(),
                     {"--script", script.string(), "--out", (outDir / (name + ".dxf")).string(),
                      "--user-dir", userDir.string(), "--product", (samples / "product").string()});
#ifdef ZORMA_HAVE_PREVIEW
        child.insert(child.end(), {"--render", (outDir / (name + ".png")).string()});
#endif
        const int rc = runChild(child, outDir / (name + ".txt"));
        std::printf("demo: %-32s %s\n", name.c_str(), rc == 0 ? "ok" : "FAILED");
        if (rc != 0)
            ++failures;
    }
    std::printf("demo: %zu scenario(s), %d failed; results in %s\n", scripts.size(), failures,
                outDir.c_str());
    return failures == 0 ? 0 : 1;
}

} // namespace zorma::app
