// Feeds arbitrary bytes to the .reg reader and checks the switch rule on what it found.
#include "zhost/settings/registry.h"
#include "zhost/settings/textfile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zhost::settings;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DecodedText decoded = decodeText(bytes, NoMarkRule::utf8ThenCodePage);
    const RegFile reg = RegFile::parse(decoded.text);
    for (const wchar_t* name : {L"ShowDebugInfo", L"ShowBmInsert", L"SkipDragging", L"@"}) {
        const RegValue* v = reg.find(kZormaSwitchKey, name);
        if (v != nullptr && v->type == kRegSz && v->data.size() % 2 != 0)
            __builtin_trap(); // strings are stored as whole UTF-16 units
    }
    (void)reg.hasKey(L"HKLM\\SOFTWARE\\Tessaly");
    return 0;
}
