// `zorma batch`: one script on many drawings, each in a `zorma run` process of its own, several at
// once. A progress bar on a terminal (plain lines otherwise), a summary table, each drawing's
// transcript kept, exit status 1 when any failed.
#include "child_process.h"
#include "options.h"

#include "zhost/dxf/dxf.h"
#include "zhost/settings/atomicfile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zorma::app {
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct BatchOptions {
    fs::path script;
    int jobs = 1;
    fs::path outDir = "out/batch";
    bool inPlace = false;
    std::vector<std::string> passOn; // --addon, --product, --user-dir, --api for every run
    std::vector<fs::path> drawings;
};

struct Job {
    fs::path input;
    fs::path output;     // where the run saves
    fs::path transcript; // the run's standard output and error
    std::string name;    // as the summary shows it
    std::string problem; // why it failed before or after the run
    int exitCode = -1;
    double seconds = 0;
    pid_t pid = 0;
    Clock::time_point started;
    bool ok() const { return problem.empty() && exitCode == 0; }
};

int usageError(const std::string& text) {
    std::fprintf(stderr, "zorma batch: %s\n", text.c_str());
    std::fprintf(stderr, "usage: zorma batch --script FILE [--jobs N] [--out-dir DIR] [--in-place] "
                         "[--addon PATH] [--product DIR] [--user-dir DIR] [--api 24|23] "
                         "DRAWING...\n");
    return 2;
}

bool parse(const std::vector<std::string>& args, BatchOptions& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--script" && hasValue) {
            o.script = args[++i];
        } else if (a == "--jobs" && hasValue) {
            const std::string v = args[++i];
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != 0 || n < 1 || n > 256) {
                error = "--jobs takes a number from 1 to 256, not \"" + v + "\"";
                return false;
            }
            o.jobs = int(n);
        } else if (a == "--out-dir" && hasValue) {
            o.outDir = args[++i];
        } else if (a == "--in-place") {
            o.inPlace = true;
        } else if ((a == "--addon" || a == "--product" || a == "--user-dir" || a == "--api") &&
                   hasValue) {
            o.passOn.insert(o.passOn.end(), {a, args[++i]});
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown or incomplete option " + a;
            return false;
        } else {
            o.drawings.emplace_back(a);
        }
    }
    if (o.script.empty()) {
        error = "--script FILE is required";
        return false;
    }
    if (o.drawings.empty()) {
        error = "no drawings given";
        return false;
    }
    return true;
}

// Output and transcript names: the drawing's own name, numbered when two inputs share it.
void planJobs(const BatchOptions& o, std::vector<Job>& jobs) {
    std::map<std::string, int> seen;
    for (const fs::path& input : o.drawings) {
        Job j;
        // "X.dwg" names the "X.dxf" kept beside it, which is what the run reads and what an
        // in-place run must replace: DXF text never goes under a DWG name.
        j.input = zhost::dxf::resolveDrawingPath(input);
        std::string stem = input.stem().string();
        if (const int n = seen[stem]++; n > 0)
            stem += "-" + std::to_string(n + 1);
        j.name = input.filename().string();
        j.transcript = o.outDir / "logs" / (stem + ".txt");
        // In place, the run saves beside its drawing and the result then replaces the drawing
        // through the safe save, which keeps the old file as NAME.bak.
        j.output = o.inPlace ? input.parent_path() /
                                   ("." + stem + ".batch-" + std::to_string(::getpid()) + ".dxf")
                             : o.outDir / (stem + ".dxf");
        std::error_code ec;
        if (!fs::is_regular_file(j.input, ec))
            j.problem = fs::exists(j.input, ec) ? "not a regular file" : "drawing not found";
        jobs.push_back(std::move(j));
    }
}

pid_t spawnRun(const BatchOptions& o, const Job& j) {
    std::vector<std::string> args = {"zorma",           "run",   j.input.string(), "--script",
                                     o.script.string(), "--out", j.output.string()};
    args.insert(args.end(), o.passOn.begin(), o.passOn.end());
    return spawnSelf(args, j.transcript);
}

// The in-place result replaces its drawing (with NAME.bak); the temporary output goes away.
void replaceInput(Job& j) {
    std::ifstream in(j.output, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    in.close();
    std::error_code ec;
    fs::remove(j.output, ec);
    std::wstring reason;
    if (!zhost::ok(zhost::settings::writeFileAtomically(j.input, bytes.str(), {.keepBackup = true},
                                                        &reason)))
        j.problem = "cannot replace the drawing";
}

class Progress {
public:
    Progress(size_t total) : total_(total), terminal_(::isatty(1)) {}
    void done(const Job& j, size_t finished, size_t failed) {
        if (!terminal_) {
            std::printf("batch: [%zu/%zu] %s %s %.2f s\n", finished, total_, j.name.c_str(),
                        j.ok() ? "ok" : "FAILED", j.seconds);
            std::fflush(stdout);
            return;
        }
        constexpr size_t kWidth = 30;
        const size_t filled = total_ ? finished * kWidth / total_ : kWidth;
        std::printf("\r[%s%s] %zu/%zu  failed %zu", std::string(filled, '#').c_str(),
                    std::string(kWidth - filled, '-').c_str(), finished, total_, failed);
        if (finished == total_)
            std::printf("\n");
        std::fflush(stdout);
    }

private:
    size_t total_;
    bool terminal_;
};

void printSummary(const std::vector<Job>& jobs, const BatchOptions& o, double wall) {
    size_t width = 8, failed = 0;
    for (const Job& j : jobs)
        width = std::max(width, j.name.size());
    std::printf("%-*s  %-6s  %9s\n", int(width), "drawing", "result", "time");
    for (const Job& j : jobs) {
        std::string why = j.problem;
        if (why.empty() && j.exitCode != 0)
            why = "exit status " + std::to_string(j.exitCode) + ", see " + j.transcript.string();
        std::printf("%-*s  %-6s  %7.2f s%s%s\n", int(width), j.name.c_str(),
                    j.ok() ? "ok" : "FAILED", j.seconds, why.empty() ? "" : "  ", why.c_str());
        failed += j.ok() ? 0 : 1;
    }
    std::printf("batch: %zu drawing(s), %zu ok, %zu failed, %d job(s), wall time %.2f s; "
                "transcripts in %s\n",
                jobs.size(), jobs.size() - failed, failed, o.jobs, wall,
                (o.outDir / "logs").string().c_str());
}

} // namespace

int runBatch(const std::vector<std::string>& args) {
    BatchOptions o;
    std::string error;
    if (!parse(args, o, error))
        return usageError(error);
    std::error_code ec;
    if (!fs::is_regular_file(o.script, ec))
        return usageError("cannot read script " + o.script.string());
    o.script = fs::absolute(o.script);
    fs::create_directories(o.outDir / "logs", ec);
    if (ec)
        return usageError("cannot create " + (o.outDir / "logs").string() + ": " + ec.message());
    std::vector<Job> jobs;
    planJobs(o, jobs);

    const Clock::time_point start = Clock::now();
    Progress progress(jobs.size());
    std::map<pid_t, size_t> running;
    size_t next = 0, finished = 0, failed = 0;
    auto finish = [&](Job& j) {
        ++finished;
        failed += j.ok() ? 0 : 1;
        progress.done(j, finished, failed);
    };
    while (finished < jobs.size()) {
        while (next < jobs.size() && int(running.size()) < o.jobs) {
            Job& j = jobs[next++];
            if (!j.problem.empty()) {
                finish(j);
                continue;
            }
            j.started = Clock::now();
            j.pid = spawnRun(o, j);
            if (j.pid < 0) {
                j.problem = "cannot start zorma run";
                finish(j);
                continue;
            }
            running[j.pid] = size_t(&j - jobs.data());
        }
        if (running.empty())
            continue;
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0)
            break;
        const auto it = running.find(pid);
        if (it == running.end())
            continue;
        Job& j = jobs[it->second];
        running.erase(it);
        j.seconds = std::chrono::duration<double>(Clock::now() - j.started).count();
        j.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (j.exitCode == 0 && o.inPlace)
            replaceInput(j);
        else if (o.inPlace)
            fs::remove(j.output, ec);
        finish(j);
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    printSummary(jobs, o, wall);
    for (const Job& j : jobs)
        if (j.ok() && j.problem.empty())
            fs::remove(j.transcript, ec); // only the failures' transcripts are worth keeping
    return failed == 0 ? 0 : 1;
}

} // namespace zorma::app
