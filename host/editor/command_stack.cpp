// The command stack: registration and look-up of commands by group and name.
#include "zhost/core/utf.h"
#include "zhost/rx/commands.h"

#include <algorithm>

namespace zhost::rx {

CommandStack& commandStack() {
    static CommandStack stack;
    return stack;
}

Status CommandStack::addCommand(std::wstring_view group, std::wstring_view globalName,
                                std::wstring_view localName, int flags, CommandFunction function,
                                void* uiContext, int functionCode, void* resourceHandle) {
    if (group.empty() || globalName.empty() || !function)
        return Status::invalidInput;
    if (lookupGlobal(group, globalName))
        return Status::duplicateKey;
    entries_.push_back({std::wstring(group), std::wstring(globalName),
                        std::wstring(localName.empty() ? globalName : localName), flags, function,
                        uiContext, functionCode, resourceHandle});
    return Status::ok;
}

Status CommandStack::removeCmd(std::wstring_view group, std::wstring_view globalName) {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const CommandEntry& e) {
        return equalsNoCase(e.group, group) && equalsNoCase(e.globalName, globalName);
    });
    if (it == entries_.end())
        return Status::keyNotFound;
    entries_.erase(it);
    return Status::ok;
}

Status CommandStack::removeGroup(std::wstring_view group) {
    const auto before = entries_.size();
    std::erase_if(entries_, [&](const CommandEntry& e) { return equalsNoCase(e.group, group); });
    return entries_.size() == before ? Status::keyNotFound : Status::ok;
}

const CommandEntry* CommandStack::lookup(std::wstring_view typed) const {
    // "." asks for the built-in definition and "_" for the global name; both may come in
    // either order ("._REGION", "_.REGION").
    bool global = false;
    while (!typed.empty() && (typed.front() == L'.' || typed.front() == L'_')) {
        global = global || typed.front() == L'_';
        typed.remove_prefix(1);
    }
    if (typed.empty())
        return nullptr;
    // The most recent registration wins, as a later module's command hides an earlier one.
    if (!global)
        for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
            if (equalsNoCase(it->localName, typed))
                return &*it;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (equalsNoCase(it->globalName, typed))
            return &*it;
    return nullptr;
}

const CommandEntry* CommandStack::lookupGlobal(std::wstring_view group,
                                               std::wstring_view globalName) const {
    for (const CommandEntry& e : entries_)
        if (equalsNoCase(e.group, group) && equalsNoCase(e.globalName, globalName))
            return &e;
    return nullptr;
}

std::vector<CommandEntry> CommandStack::commands(std::wstring_view group) const {
    std::vector<CommandEntry> out;
    for (const CommandEntry& e : entries_)
        if (group.empty() || equalsNoCase(e.group, group))
            out.push_back(e);
    return out;
}

} // namespace zhost::rx
