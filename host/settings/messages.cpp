#include "zhost/settings/messages.h"

#include "zhost/core/utf.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace zhost::settings {
namespace {

struct MessageState {
    std::mutex mutex;
    PrintHook hook;
    std::set<std::wstring> warned;
};

MessageState& state() {
    static MessageState s;
    return s;
}

} // namespace

void setPrintHook(PrintHook hook) {
    std::lock_guard lock(state().mutex);
    state().hook = std::move(hook);
}

void print(std::wstring_view text) {
    PrintHook hook;
    {
        std::lock_guard lock(state().mutex);
        hook = state().hook;
    }
    if (hook) {
        hook(text);
        return;
    }
    const std::string utf8 = toUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

bool warnOnce(std::wstring_view subject, std::wstring_view text) {
    {
        std::lock_guard lock(state().mutex);
        if (!state().warned.emplace(subject).second)
            return false;
    }
    print(text);
    return true;
}

} // namespace zhost::settings
