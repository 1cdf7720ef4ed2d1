#include "frame/RegSwitches.h"

#include "zhost/settings/registry.h"

#include <cstddef>
#include <cstdint>
#include <string>

bool IsRegSwitchOn(const wchar_t* valueName) {
    if (valueName == nullptr)
        return false;
    // The same question the platform's registry query answers: the key opens, the value fits a
    // 4-byte buffer, and those 4 bytes hold 1.
    const std::wstring key = std::wstring(L"HKEY_LOCAL_MACHINE\\") + kZormaContRegKey;
    uint32_t value = 0;
    size_t byteCount = 0;
    if (!zhost::settings::readRegistryDword(key, valueName, value, byteCount))
        return false;
    return byteCount == 4 && value == 1;
}
