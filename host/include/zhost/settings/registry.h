#pragma once
// Read-only, machine-wide switches. The platform keeps them in the registry; here they live in a
// file in the registry editor's export syntax, which an administrator writes by hand or exports
// from a Windows machine:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Tessaly\Parameters\ZORMA_CONT]
//   "ShowDebugInfo"=dword:00000001
//
// The file is read again at every question (no cache), so a change takes effect at the next
// command. UTF-16LE (as the registry editor exports), UTF-8 and the host's code page are read;
// "REGEDIT4" files too. Lines ending in '\' continue hex lists; ';' starts a comment line;
// "[-KEY]" and "name"=- delete. A value whose data cannot be read (a malformed hex list, say)
// is left out rather than guessed.
#include "zhost/core/status.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::settings {

// Registry value types as the platform numbers them.
constexpr uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7,
                   kRegQword = 11;

struct RegValue {
    uint32_t type = kRegBinary;
    std::vector<uint8_t> data;
};

// The key under which the add-on's switches live.
inline constexpr std::wstring_view kZormaSwitchKey =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT";

class RegFile {
public:
    // Never fails: what cannot be read is skipped.
    static RegFile parse(std::wstring_view text);
    Status load(const std::filesystem::path& file);

    // Key paths are compared without case; "HKLM\" stands for "HKEY_LOCAL_MACHINE\" and a path
    // without a root key is taken under HKEY_LOCAL_MACHINE. Value "" or "@" is the default value.
    const RegValue* find(std::wstring_view keyPath, std::wstring_view valueName) const;
    bool hasKey(std::wstring_view keyPath) const;
    size_t keyCount() const { return keys_.size(); }

private:
    std::map<std::wstring, std::map<std::wstring, RegValue>> keys_; // folded names
};

// The machine-wide switch file: the setter's path (the program's --machine-reg) when set, else
// $ZORMA_MACHINE_REG, else /etc/zorma/machine.reg. An empty path clears the setter.
void setMachineRegistryFile(const std::filesystem::path& file);
std::filesystem::path machineRegistryFile();

// Reads a value into a 4-byte buffer as the platform's registry query does: true when the key
// and value exist and the data fits 4 bytes; `out` holds them (little-endian, zero-filled) and
// `byteCount` their number. False for a missing file, key or value, and for longer data
// (byteCount then tells the length).
bool readRegistryDword(std::wstring_view keyPath, std::wstring_view valueName, uint32_t& out,
                       size_t& byteCount);

// On exactly when the value's data is 4 bytes holding the integer 1, whatever its type.
bool isSwitchOn(std::wstring_view valueName, std::wstring_view keyPath = kZormaSwitchKey);

} // namespace zhost::settings
