#pragma once
// The command stack (the platform's ACAD_REGISTERED_COMMANDS): commands registered by groups,
// each with a global (English) name, a local name, flags and a handler. Typed names are looked
// up without case: "_NAME" finds the global name only, "NAME" the local name first and then the
// global one; a leading "." (use the built-in, not a redefinition) is accepted and ignored.
//
// Add-ons register their commands on the initialise message:
//
//     rx::commandStack().addCommand(L"TRVCommand", L"ZORMA_CONT", L"ZORMA_CONT",
//                                   rx::cmd::kTransparent | rx::cmd::kUsePickSet, &zormaCont);
#include "zhost/core/status.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::rx {

// Command flags (the platform's ACRX_CMD_ values).
namespace cmd {
inline constexpr int kModal = 0x00000000;
inline constexpr int kTransparent = 0x00000001;
inline constexpr int kUsePickSet = 0x00000002;
inline constexpr int kRedraw = 0x00000004;
inline constexpr int kNoPerspective = 0x00000008;
inline constexpr int kNoMultiple = 0x00000010;
inline constexpr int kNoTileMode = 0x00000020;
inline constexpr int kNoPaperSpace = 0x00000040;
inline constexpr int kNoOem = 0x00000100;
inline constexpr int kUndefined = 0x00000200;
inline constexpr int kInProgress = 0x00000400;
inline constexpr int kDefun = 0x00000800;
inline constexpr int kNoNewStack = 0x00010000;
inline constexpr int kNoInternalLock = 0x00020000;
inline constexpr int kDocReadLock = 0x00080000;
inline constexpr int kDocExclusiveLock = 0x00100000;
inline constexpr int kSession = 0x00200000;
inline constexpr int kInterruptible = 0x00400000;
inline constexpr int kNoHistory = 0x00800000;
inline constexpr int kNoUndoMarker = 0x01000000;
inline constexpr int kNoBedit = 0x02000000;
} // namespace cmd

using CommandFunction = void (*)();

struct CommandEntry {
    std::wstring group;
    std::wstring globalName;
    std::wstring localName;
    int flags = 0;
    CommandFunction function = nullptr;
    void* uiContext = nullptr;
    int functionCode = -1;
    void* resourceHandle = nullptr;
};

class CommandStack {
public:
    // duplicateKey when the group already has that global name; invalidInput for empty names or
    // a null function. A name registered in another group too hides the older one until removed.
    Status addCommand(std::wstring_view group, std::wstring_view globalName,
                      std::wstring_view localName, int flags, CommandFunction function,
                      void* uiContext = nullptr, int functionCode = -1,
                      void* resourceHandle = nullptr);
    // keyNotFound when the group has no such command.
    Status removeCmd(std::wstring_view group, std::wstring_view globalName);
    Status removeGroup(std::wstring_view group);

    // The entry a typed name runs (see above), or nullptr.
    const CommandEntry* lookup(std::wstring_view typedName) const;
    const CommandEntry* lookupGlobal(std::wstring_view group, std::wstring_view globalName) const;
    // The entries of a group (all groups when empty), in registration order.
    std::vector<CommandEntry> commands(std::wstring_view group = {}) const;

private:
    std::vector<CommandEntry> entries_;
};

CommandStack& commandStack();

} // namespace zhost::rx
