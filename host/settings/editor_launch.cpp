// Opening a text file for the user to read: the stand-in for the platform's Notepad.
#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace zhost::settings {
namespace {

std::atomic<bool> gHeadless{true};

std::vector<std::string> splitAtBlanks(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    for (char c : command) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

std::vector<std::string> editorCommand() {
    for (const char* name : {"VISUAL", "EDITOR"}) {
        if (const char* value = std::getenv(name)) {
            auto words = splitAtBlanks(value);
            if (!words.empty())
                return words;
        }
    }
    return {"xdg-open"};
}

} // namespace

void setHeadless(bool headless) {
    gHeadless.store(headless);
}
bool isHeadless() {
    return gHeadless.load();
}

Status openTextFileInEditor(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return Status::fileNotFound;
    if (isHeadless()) {
        print(L"\n" + toWide(file) + L"\n");
        return Status::ok;
    }
    std::vector<std::string> words = editorCommand();
    words.push_back(file.string());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return Status::fileError;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return Status::fileError;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Status::ok : Status::fileError;
}

} // namespace zhost::settings
