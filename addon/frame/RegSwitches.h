#pragma once
// The machine-wide, read-only switches of the add-on. An administrator or a support engineer
// sets them to change behaviour or to get diagnostic output; they are read each time they are
// needed (never cached), so a change takes effect at the next command without reloading.
//
// A switch is on exactly when its value holds 4 bytes with the integer 1, whatever the value's
// type; a missing key or value, another number or longer data is off.

// The key under the local machine.
inline constexpr const wchar_t* kZormaContRegKey = L"SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT";

// Diagnostic output of the part-contents commands on the command line.
inline constexpr const wchar_t* kRegShowDebugInfo = L"ShowDebugInfo";
// The inserted symbol drawing and the edited part stay visible while a part is placed.
inline constexpr const wchar_t* kRegShowBmInsert = L"ShowBmInsert";
// The placement jig defers every other slow length update.
inline constexpr const wchar_t* kRegSkipDragging = L"SkipDragging";

// Reads the switch of that name under kZormaContRegKey now.
bool IsRegSwitchOn(const wchar_t* valueName);

inline bool IsShowDebugInfo() {
    return IsRegSwitchOn(kRegShowDebugInfo);
}
inline bool IsShowBmInsert() {
    return IsRegSwitchOn(kRegShowBmInsert);
}
inline bool IsSkipDragging() {
    return IsRegSwitchOn(kRegSkipDragging);
}
