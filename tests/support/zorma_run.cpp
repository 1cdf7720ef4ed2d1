#include "zorma_run.h"

#include <iostream>
#include <system_error>

namespace ztest {

namespace fs = std::filesystem;

namespace {

// The first "<stem>-N<ext>" in the folder that does not exist yet, so that every run of a test
// keeps its own script, user folder and drawing for a look after a failure.
fs::path Fresh(const fs::path& folder, const std::string& stem, const std::string& ext) {
    for (int n = 1;; ++n) {
        fs::path p = folder / (stem + "-" + std::to_string(n) + ext);
        std::error_code ec;
        if (!fs::exists(p, ec))
            return p;
    }
}

const std::string kMarker = "==== scenario section ";

} // namespace

fs::path ZormaProgram() {
    return fs::path(ZORMA_BINARY_DIR) / "bin" / "zorma";
}

fs::path BuiltAddon(int api) {
    return fs::path(ZORMA_BINARY_DIR) / "lib" / ("BX" + std::to_string(api) + "TORV.so");
}

fs::path SourcePath(const fs::path& relative) {
    return fs::path(ZORMA_SOURCE_DIR) / relative;
}

fs::path SampleDrawing(std::string_view name) {
    return SourcePath("samples/drawings") / name;
}

ZormaResult RunZorma(const ZormaRun& run, const fs::path& folder) {
    ZormaResult r;
    const std::vector<std::string> argv = ZormaCommandLine(run, folder, r);
    if (!r.spawnError.empty())
        return r;
    static_cast<ProcessResult&>(r) = RunProcess(argv, run.process);
    std::error_code ec;
    if (run.save && !fs::exists(r.saved, ec))
        r.saved.clear();
    return r;
}

std::vector<std::string> ZormaCommandLine(const ZormaRun& run, const fs::path& folder,
                                          ZormaResult& r) {
    std::vector<std::string> argv = {ZormaProgram().string(), run.command};
    if (!run.drawing.empty())
        argv.push_back(run.drawing.string());
    if (!run.script.empty() && !run.scriptFile.empty()) {
        r.spawnError = "both script text and a script file given";
        return {};
    }
    r.scriptPath = run.scriptFile;
    if (!run.script.empty()) {
        r.scriptPath = Fresh(folder, "script", ".scr");
        WriteFile(r.scriptPath, run.script);
    }
    if (!r.scriptPath.empty())
        argv.insert(argv.end(), {"--script", r.scriptPath.string()});
    r.userDir = run.userDir.empty() ? Fresh(folder, "user", "") : run.userDir;
    std::error_code ec;
    fs::create_directories(r.userDir, ec);
    argv.insert(argv.end(), {"--user-dir", r.userDir.string()});
    // Switches in a machine-wide file of the computer running the tests must not change them.
    argv.insert(argv.end(), {"--machine-reg", (folder / "machine.reg").string()});
    if (!run.product.empty())
        argv.insert(argv.end(), {"--product", run.product.string()});
    if (!run.addon.empty())
        argv.insert(argv.end(), {"--addon", run.addon.string()});
    if (run.save) {
        r.saved = Fresh(folder, "out", ".dxf");
        argv.insert(argv.end(), {"--out", r.saved.string()});
    }
    argv.insert(argv.end(), run.args.begin(), run.args.end());
    r.argv = argv;
    return argv;
}

ProcessResult Zorma(std::vector<std::string> args, const ProcessOptions& options) {
    args.insert(args.begin(), ZormaProgram().string());
    return RunProcess(std::move(args), options);
}

size_t SharedRun::Add(std::string name, std::string script) {
    if (!script.empty() && script.back() != '\n')
        script += '\n';
    sections_.emplace_back(std::move(name), std::move(script));
    return sections_.size() - 1;
}

std::string SharedRun::Script() const {
    std::string out;
    for (size_t i = 0; i < sections_.size(); ++i)
        out += "@echo " + kMarker + std::to_string(i) + "\n" + sections_[i].second;
    return out + "@echo " + kMarker + "end\n";
}

std::vector<std::string> SharedRun::Split(const std::string& transcript) const {
    std::vector<std::string> out;
    for (size_t i = 0; i < sections_.size(); ++i) {
        const std::string begin = kMarker + std::to_string(i) + "\n";
        const std::string end =
            kMarker + (i + 1 < sections_.size() ? std::to_string(i + 1) : "end");
        const size_t b = transcript.find(begin);
        if (b == std::string::npos) {
            out.emplace_back(); // the run stopped before this section
            continue;
        }
        const size_t from = b + begin.size();
        const size_t e = transcript.find(end, from);
        out.push_back(
            transcript.substr(from, e == std::string::npos ? std::string::npos : e - from));
    }
    return out;
}

ZormaResult ScenarioTest::Run(ZormaRun run) {
    last_ = RunZorma(run, Dir());
    ran_ = true;
    return last_;
}

void ScenarioTest::TearDown() {
    if (ran_ && HasFailure())
        std::cerr << "The last run of zorma in this test:" << last_ << "\n";
}

int CountOf(std::string_view text, std::string_view part) {
    if (part.empty())
        return 0;
    int n = 0;
    for (size_t p = text.find(part); p != std::string_view::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

} // namespace ztest
