// Host commands called by name with their answers (the platform's command call).
#include "answers.h"
#include "editor_state.h"
#include "host_commands.h"
#include "input_parse.h"

#include "zhost/core/utf.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"
#include "zhost/rx/commands.h"

namespace zhost::ed {

using detail::state;

Result command(std::initializer_list<CommandArg> args) {
    return commandList(std::vector<CommandArg>(args));
}

Result commandList(const std::vector<CommandArg>& args) {
    detail::ensureHostCommands();
    if (args.empty())
        return Result::error;
    const auto* name = std::get_if<std::wstring>(&args.front().v);
    if (!name)
        return Result::error;
    const rx::CommandEntry* entry = rx::commandStack().lookup(detail::trim(*name));
    int echo = 1;
    getVarInt(L"CMDECHO", echo);
    if (!entry) {
        printf(L"\nUnknown command \"%s\".  Press F1 for help.", toUpperName(detail::trim(*name)));
        return Result::error;
    }
    auto& s = state();
    detail::CallFrame frame;
    frame.args = args;
    frame.echo = echo == 1;
    if (frame.echo)
        printf(L"\n%s", *name);
    const bool outerFailed = s.commandFailed;
    s.commandFailed = false;
    s.frames.push_back(std::move(frame));
    const rx::CommandEntry copy = *entry;
    detail::executeCommand(copy);
    const detail::CallFrame done = std::move(s.frames.back());
    s.frames.pop_back();
    const bool failed = s.commandFailed;
    s.commandFailed = outerFailed;
    if (done.starved) {
        if (done.echo)
            print(L"\n*Cancel*");
        return Result::error;
    }
    if (failed || done.next < done.args.size())
        return Result::error;
    return Result::normal;
}

namespace detail {
void reportCommandFailure() {
    state().commandFailed = true;
}
} // namespace detail

} // namespace zhost::ed
