#include "process.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ztest {

namespace {

// Both ends of a pipe, closed on scope exit; the child's copies are made by dup2 in the spawn.
struct Pipe {
    int fd[2] = {-1, -1};
    bool open() { return ::pipe2(fd, O_CLOEXEC) == 0; }
    void close(int end) {
        if (fd[end] >= 0)
            ::close(fd[end]);
        fd[end] = -1;
    }
    ~Pipe() {
        close(0);
        close(1);
    }
};

struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

// The test's environment with the overrides applied, as "NAME=value" strings.
std::vector<std::string> ChildEnvironment(const ProcessOptions& options) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string entry = *e;
        const size_t eq = entry.find('=');
        if (eq != std::string::npos)
            vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : options.env) {
        if (value.empty())
            vars.erase(name);
        else
            vars[name] = value;
    }
    std::vector<std::string> out;
    for (const auto& [name, value] : vars)
        out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

std::string SystemError(const char* what, int code) {
    return std::string(what) + ": " + std::strerror(code);
}

// Feeds the child's input and collects its output until both output pipes close or the time is
// up. Returns false on timeout.
bool Pump(Pipe& in, Pipe& out, Pipe& err, const std::string& input, ProcessResult& r,
          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t written = 0;
    if (in.fd[1] >= 0)
        ::fcntl(in.fd[1], F_SETFL, O_NONBLOCK);
    char buffer[8192];
    while (out.fd[0] >= 0 || err.fd[0] >= 0) {
        std::vector<pollfd> fds;
        if (out.fd[0] >= 0)
            fds.push_back({out.fd[0], POLLIN, 0});
        if (err.fd[0] >= 0)
            fds.push_back({err.fd[0], POLLIN, 0});
        if (in.fd[1] >= 0)
            fds.push_back({in.fd[1], POLLOUT, 0});
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        const int n = ::poll(fds.data(), fds.size(), int(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        for (const pollfd& p : fds) {
            if (p.revents == 0)
                continue;
            if (p.fd == in.fd[1]) {
                const ssize_t k = ::write(p.fd, input.data() + written, input.size() - written);
                if (k > 0)
                    written += size_t(k);
                if (k < 0 || written == input.size())
                    in.close(1); // done, or the child closed its input (EPIPE)
                continue;
            }
            const ssize_t k = ::read(p.fd, buffer, sizeof buffer);
            if (k <= 0) {
                (p.fd == out.fd[0] ? out : err).close(0);
                continue;
            }
            (p.fd == out.fd[0] ? r.out : r.err).append(buffer, size_t(k));
            r.transcript.append(buffer, size_t(k));
        }
    }
    return true;
}

} // namespace

ProcessResult RunProcess(std::vector<std::string> argv, const ProcessOptions& options) {
    ProcessResult r;
    r.argv = argv;
    if (argv.empty()) {
        r.spawnError = "nothing to run";
        return r;
    }
    // SIGPIPE would end the test when a child exits without reading its input.
    std::signal(SIGPIPE, SIG_IGN);
    Pipe in, out, err;
    if (!out.open() || !err.open() || (!options.input.empty() && !in.open())) {
        r.spawnError = SystemError("pipe", errno);
        return r;
    }
    FileActions fa;
    if (options.input.empty())
        posix_spawn_file_actions_addopen(&fa.actions, 0, "/dev/null", O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&fa.actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&fa.actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&fa.actions, err.fd[1], 2);
    const std::string workDir = options.workDir.string();
    if (!workDir.empty())
        posix_spawn_file_actions_addchdir_np(&fa.actions, workDir.c_str());

    std::vector<std::string> env = ChildEnvironment(options);
    std::vector<char*> argp = Pointers(argv), envp = Pointers(env);
    pid_t pid = -1;
    const int rc =
        posix_spawn(&pid, argv[0].c_str(), &fa.actions, nullptr, argp.data(), envp.data());
    in.close(0);
    out.close(1);
    err.close(1);
    if (rc != 0) {
        r.spawnError = SystemError(argv[0].c_str(), rc);
        return r;
    }
    if (!Pump(in, out, err, options.input, r, options.timeout)) {
        r.timedOut = true;
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        r.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        r.signal = WTERMSIG(status);
    return r;
}

std::string ProcessResult::Tail(int lines) const {
    size_t at = transcript.size();
    // A final newline does not start another line.
    if (at > 0 && transcript[at - 1] == '\n')
        --at;
    for (int n = 0; n < lines && at > 0; ++n) {
        const size_t nl = transcript.rfind('\n', at - 1);
        if (nl == std::string::npos) {
            at = 0;
            break;
        }
        at = nl;
    }
    const bool cut = at > 0;
    return (cut ? "[...]" : "") + transcript.substr(at);
}

std::string ProcessResult::CommandLine() const {
    std::string line;
    for (const std::string& a : argv) {
        if (!line.empty())
            line += ' ';
        const bool plain = !a.empty() && std::all_of(a.begin(), a.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/._-=,:+@", c);
        });
        if (plain) {
            line += a;
            continue;
        }
        line += '\'';
        for (char c : a)
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += '\'';
    }
    return line;
}

std::string ProcessResult::Ending() const {
    if (!spawnError.empty())
        return "not started (" + spawnError + ")";
    if (timedOut)
        return "killed after the timeout";
    if (signal != 0)
        return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return "exit status " + std::to_string(exitCode);
}

std::ostream& operator<<(std::ostream& os, const ProcessResult& r) {
    os << "\n$ " << r.CommandLine() << "\n" << r.Ending() << "; the transcript ends:\n" << r.Tail();
    if (!r.transcript.empty() && r.transcript.back() != '\n')
        os << '\n';
    return os;
}

void PrintTo(const ProcessResult& r, std::ostream* os) {
    *os << r;
}

} // namespace ztest
