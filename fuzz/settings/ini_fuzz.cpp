// Feeds arbitrary bytes to the ini reader the way a file on disk reaches it: encoding detection,
// parsing, and every query the add-on makes, including the by-index walk and a write-back.
#include "zhost/settings/inifile.h"
#include "zhost/settings/textfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zhost::settings;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DecodedText decoded = decodeText(bytes, NoMarkRule::utf8ThenCodePage);
    IniFile ini = IniFile::parse(decoded.text);
    for (const IniSection& section : ini.sections()) {
        if (!ini.selectSection(section.name()))
            std::abort(); // every parsed section must be found again by its name
        const size_t count = ini.keyCount();
        for (size_t i = 0; i < count; ++i) {
            std::wstring key, value, again;
            if (!ini.keyAt(i, key, value))
                std::abort();
            if (key.size() >= kIniValueCapacity || value.size() >= kIniValueCapacity)
                std::abort(); // the buffer limit holds
            int n = 0;
            ini.getInt(key, n);
            // A key cut to the buffer is no longer its own name; every other one is found again.
            if (key.size() < kIniValueCapacity - 1 && !ini.getString(key, again))
                std::abort();
        }
    }
    ini.selectSection(L"Fuzz");
    ini.setString(L"key", decoded.text.substr(0, 64));
    std::wstring back;
    if (!ini.getString(L"key", back))
        std::abort();
    return 0;
}
