#include "pty.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ztest {

PtyProcess::PtyProcess(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    winsize size{};
    size.ws_row = 40;
    size.ws_col = 120;
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
        ::execv(args[0], args.data());
        ::_exit(127);
    }
}

PtyProcess::~PtyProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (master_ >= 0)
        ::close(master_);
}

void PtyProcess::Type(std::string_view bytes) {
    while (!bytes.empty() && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        bytes.remove_prefix(size_t(n));
    }
}

bool PtyProcess::ReadSome(std::chrono::milliseconds wait) {
    if (closed_ || master_ < 0)
        return false;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, int(wait.count())) <= 0)
        return true;
    char buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) {
        closed_ = errno != EINTR && errno != EAGAIN; // EIO: the program closed the terminal
        return !closed_;
    }
    output_.append(buf, size_t(n));
    return true;
}

bool PtyProcess::WaitFor(std::string_view text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const size_t at = output_.find(text, matched_);
        if (at != std::string::npos) {
            matched_ = at + text.size();
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(std::min(left, std::chrono::milliseconds(200))))
            return false;
    }
}

int PtyProcess::Finish(std::chrono::milliseconds timeout) {
    if (pid_ <= 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (true) {
        ReadSome(std::chrono::milliseconds(50));
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_)
            break;
        if (std::chrono::steady_clock::now() > deadline)
            return -1; // the destructor kills it
    }
    pid_ = -1;
    // What the program wrote just before it ended.
    size_t before = 0;
    do {
        before = output_.size();
    } while (ReadSome(std::chrono::milliseconds(20)) && output_.size() > before);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace ztest
